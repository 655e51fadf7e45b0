// Stand-in for the sibling programs of the suite. Copied into the program folder under
// their names, it records how it was started and ends: one line appended to
// workfiles/standin.log next to its own file, holding its file name and its arguments
// separated by single blanks. Exit status 0, or 1 when the line cannot be written.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

std::filesystem::path ownFile(const char* argv0) {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) return std::filesystem::path(std::string(buf, static_cast<std::size_t>(n)));
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(argv0 ? argv0 : "", ec);
    return ec ? std::filesystem::path() : p.lexically_normal();
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path self = ownFile(argc > 0 ? argv[0] : nullptr);
    if (self.empty()) return 1;

    std::string line = self.filename().string();
    for (int i = 1; i < argc; ++i) {
        line += ' ';
        line += argv[i];
    }
    line += '\n';

    const std::filesystem::path log = self.parent_path() / "workfiles" / "standin.log";
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return 1;
    // One write, so that lines of stand-ins running side by side do not interleave.
    ssize_t n;
    do n = ::write(fd, line.data(), line.size());
    while (n < 0 && errno == EINTR);
    const bool closed = ::close(fd) == 0;
    return n == static_cast<ssize_t>(line.size()) && closed ? 0 : 1;
}
