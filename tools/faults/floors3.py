# id, file, exact text (occurs once), replacement, what the fault breaks
FAULTS = [
 ('expsmall', 'src/workfile/number_form.cpp', 'exponent <= -5 ||', 'exponent <= -4 ||', 'number form: .0001 written in the exponent form'),
 ('readonlyclaim', 'src/workfile/work_lock.cpp', 'case LockState::ReadOnly: return {true, kWorkFolderReadOnly, kInfoTitle, false};', 'case LockState::ReadOnly: return {false, kWorkFolderReadOnly, kInfoTitle, true};', 'lock: a read-only work folder ends the program instead of a note'),
 ('keepmode', 'src/workfile/replacement.cpp', 'ok = ::fchmod(out.fd, old.st_mode & 07777) == 0;', 'ok = true;', 'writer: a replaced file loses its mode'),
 ('walkarc', 'src/engine/walk.h', 'r.a = point(i), r.b = point(i + 1), r.c = point(i + 3);', 'r.a = point(i), r.b = point(i + 1), r.c = point(i + 2);', 'walk: an arc record ends at its middle'),
]
