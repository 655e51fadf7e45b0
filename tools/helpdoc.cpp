// helpdoc: renders a help document written in Markdown to PDF, A4, with its pictures embedded.
//
//   helpdoc IN.md OUT.pdf          the document; a picture `![…](shape:N)` is shape N (0..19)
//                                  drawn by the shape engine around a sample word, and
//                                  `shape:N-bar` the same with the connection bar, `shape:N-plain`
//                                  a word with a descender without "Fit in"; other
//                                  pictures are files beside IN.md
//   helpdoc --pictures DIR         the twenty shape pictures as DIR/shape-N.png, to look at
//
// A picture that cannot be drawn or found fails the run (exit 1), so a broken reference
// never reaches a user. Runs on the offscreen platform; no display is needed.
//
// The shape pictures go into the PDF as lines, not pixels: each is a text object of its own
// that paints the engine's drawing with the PDF's painter, so it stays sharp at any zoom. Qt's
// table layout starts a row that would cross the foot of a page on the next page, so a picture
// stays beside its words (looked at in the rendered documents).
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextObjectInterface>
#include <QTextTable>
#include <QUrl>
#include <optional>
#include <vector>
#include <iostream>

#include "preview_qt/shape_picture.h"

namespace {

constexpr int kShapes = 20;
const QSize kPictureSize(240, 120);

// "shape:7" or "shape:7-bar"; nullopt for any other address
std::optional<QImage> shapeImage(const QUrl& url) {
    static const QRegularExpression form("^shape:(\\d{1,2})(-bar|-plain)?$");
    const auto m = form.match(url.toString());
    if (!m.hasMatch()) return std::nullopt;
    const int n = m.captured(1).toInt();
    if (n < 0 || n >= kShapes) return QImage();
    return preview_qt::shapePicture(n, kPictureSize, !m.captured(2).isEmpty());
}

constexpr int kShapeObject = QTextFormat::UserObject + 1;
constexpr int kShapeNumber = QTextFormat::UserProperty + 1;
constexpr int kShapeKind = QTextFormat::UserProperty + 2;

// A shape picture drawn where the text puts it, by whatever paints the page.
class ShapeObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat&) override { return kPictureSize; }
    void drawObject(QPainter* p, const QRectF& rect, QTextDocument*, int, const QTextFormat& f) override {
        // a pen of 1.5 pixels of the 96-dpi page, however finely the device resolves
        const double pen = 1.5 * p->deviceTransform().m11();
        const int kind = f.intProperty(kShapeKind);
        p->save();
        p->fillRect(rect, Qt::white);
        preview_qt::paintShapePicture(*p, rect, f.intProperty(kShapeNumber), kind == 1, pen, kind == 2);
        p->restore();
    }

};

// Every shape picture of the document becomes a ShapeObject.
void drawShapesAsLines(QTextDocument& doc, ShapeObject& handler) {
    static const QRegularExpression form("^shape:(\\d{1,2})(-bar|-plain)?$");
    doc.documentLayout()->registerHandler(kShapeObject, &handler);
    struct Found {
        int position, length, shape;
        int kind;  // 0 the picture, 1 with the bar, 2 a descender without "Fit in"
    };
    std::vector<Found> found;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.charFormat().isImageFormat()) continue;
            const auto m = form.match(frag.charFormat().toImageFormat().name());
            if (m.hasMatch() && m.captured(1).toInt() < kShapes)
                found.push_back({frag.position(), frag.length(), m.captured(1).toInt(),
                                 m.captured(2) == "-bar" ? 1 : m.captured(2) == "-plain" ? 2 : 0});
        }
    }
    // from the end, so that the positions before stay where they are
    for (auto f = found.rbegin(); f != found.rend(); ++f) {
        QTextCharFormat format;
        format.setObjectType(kShapeObject);
        format.setProperty(kShapeNumber, f->shape);
        format.setProperty(kShapeKind, f->kind);
        QTextCursor c(&doc);
        c.setPosition(f->position);
        c.setPosition(f->position + f->length, QTextCursor::KeepAnchor);
        c.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }
}

class HelpDocument : public QTextDocument {
public:
    QStringList missing;

protected:
    QVariant loadResource(int type, const QUrl& name) override {
        if (type == QTextDocument::ImageResource) {
            if (const auto img = shapeImage(name)) {
                if (img->isNull()) missing << name.toString();
                return *img;
            }
        }
        QVariant v = QTextDocument::loadResource(type, name);
        if (type == QTextDocument::ImageResource && !v.isValid()) missing << name.toString();
        return v;
    }
};

int render(const QString& in, const QString& out) {
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << in.toStdString() << ": cannot read\n";
        return 1;
    }
    const QString markdown = QString::fromUtf8(file.readAll());
    HelpDocument doc;
    doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(in).absolutePath() + "/"));
    QFont font("DejaVu Sans");
    font.setPointSizeF(10);
    doc.setDefaultFont(font);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    // the title of the PDF: the first heading
    static const QRegularExpression heading("^#\\s+(.+)$", QRegularExpression::MultilineOption);
    const auto title = heading.match(markdown);
    ShapeObject shapes;
    drawShapesAsLines(doc, shapes);

    QPdfWriter writer(out);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 16, 18, 16),
                                     QPageLayout::Millimeter));
    writer.setTitle(title.hasMatch() ? title.captured(1).trimmed() : QFileInfo(in).baseName());
    writer.setCreator("LETTERKERF");
    // lay the text out on the printable part of the page, in the document's own units (1/96 inch)
    const QRectF area = writer.pageLayout().paintRect(QPageLayout::Inch);
    doc.setDocumentMargin(0);
    doc.setPageSize(QSizeF(area.width() * 96, area.height() * 96));
    doc.print(&writer);
    if (!doc.missing.isEmpty()) {
        std::cerr << in.toStdString() << ": pictures not found: " << doc.missing.join(", ").toStdString() << "\n";
        QFile::remove(out);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == "--pictures") {
        for (int n = 0; n < kShapes; ++n) {
            for (bool bar : {false, true}) {
                const QString file = QString("%1/shape-%2%3.png").arg(args[1]).arg(n).arg(bar ? "-bar" : "");
                if (!preview_qt::shapePicture(n, kPictureSize, bar).save(file)) {
                    std::cerr << file.toStdString() << ": cannot write\n";
                    return 1;
                }
            }
        }
        return 0;
    }
    if (args.size() != 2 || args[0].startsWith('-')) {
        std::cerr << "usage: helpdoc IN.md OUT.pdf | helpdoc --pictures DIR\n";
        return args.size() == 1 && (args[0] == "--help" || args[0] == "-h") ? 0 : 1;
    }
    return render(args[0], args[1]);
}

#include "helpdoc.moc"
