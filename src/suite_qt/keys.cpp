#include "suite_qt/keys.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QWidget>
#include <functional>

namespace suite_qt {

namespace {
// the mnemonic of a caption, lower case; a null character when it has none
QChar mnemonicOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return QChar();
}

// the caption with a mnemonic on its first free letter or digit; as it was when none is free
QString marked(const QString& caption, QSet<QChar>& used) {
    if (caption.isEmpty() || !mnemonicOf(caption).isNull()) return caption;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i].toLower();
        if (caption[i] == '&') {
            ++i;  // "&&": a plain '&'
            continue;
        }
        if (!caption[i].isLetterOrNumber() || used.contains(c)) continue;
        used.insert(c);
        QString out = caption;  // any '&' in it stands doubled already
        out.insert(i, '&');
        return out;
    }
    return caption;
}

void markAll(const QList<std::pair<QString, std::function<void(const QString&)>>>& captions) {
    QSet<QChar> used;
    for (const auto& [caption, set] : captions)
        if (const QChar m = mnemonicOf(caption); !m.isNull()) used.insert(m);
    for (const auto& [caption, set] : captions) {
        const QString now = marked(caption, used);
        if (now != caption) set(now);
    }
}
}  // namespace

void addMnemonics(QWidget* root) {
    QList<std::pair<QString, std::function<void(const QString&)>>> captions;
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>())
        if (!b->text().isEmpty()) captions.append({b->text(), [b](const QString& t) { b->setText(t); }});
    for (QLabel* l : root->findChildren<QLabel*>())
        if (l->buddy() && !l->text().isEmpty()) captions.append({l->text(), [l](const QString& t) { l->setText(t); }});
    markAll(captions);
}

void addMnemonics(QMenu* menu) {
    QList<std::pair<QString, std::function<void(const QString&)>>> captions;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        captions.append({a->text(), [a](const QString& t) { a->setText(t); }});
        if (a->menu()) addMnemonics(a->menu());
    }
    markAll(captions);
}

void addMnemonics(QMenuBar* bar) {
    QList<std::pair<QString, std::function<void(const QString&)>>> captions;
    for (QAction* a : bar->actions()) {
        captions.append({a->text(), [a](const QString& t) { a->setText(t); }});
        if (a->menu()) addMnemonics(a->menu());
    }
    markAll(captions);
}

QString withoutMnemonic(const QString& caption) {
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

}  // namespace suite_qt
