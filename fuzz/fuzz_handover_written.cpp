// The hand-over files that only the later stage reads, one per build of this file
// (LK_FUZZ_HANDOVER): hl.dat (the bridge table) and workm.dat (the connection bar). The input
// is a table of records in raw bytes, any double included; the program's own writer writes it
// and the file is read back line by line, and hl.dat also by the cut stage's own reader. Every value must come
// back (to 15 significant digits) in the number form, the counts must match the lines, and a
// write that cannot be made (a value that is not finite) must leave the previous file whole.
#include <cmath>
#include <cstring>

#include "convert/conversion.h"
#include "fuzz_support.h"
#include "workfile/workfile_io.h"
#include "shapes/workfiles.h"
#include "cut/handover.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void finding(const std::string& what) {
    std::fprintf(stderr, "handover: %s\n", what.c_str());
    std::abort();
}

// Takes the input from the front; past its end everything reads as zero.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    template <typename T>
    T raw() {
        unsigned char b[sizeof(T)] = {};
        for (auto& c : b) c = byte();
        T v;
        std::memcpy(&v, b, sizeof v);
        return v;
    }
    // raw doubles (any bit pattern) or plain millimetres, as the input's first byte says
    double number() { return rawDoubles ? raw<double>() : raw<std::int32_t>() / 1024.0; }
    bool rawDoubles = false;

private:
    const std::uint8_t* data_;
    std::size_t size_, pos_ = 0;
};

// The number form: a blank or "-", no zero before the point, no trailing zeros, at most 15
// significant digits, an optional exponent; read back it is the value to 15 digits.
void checkNumber(const std::string& line, double value, const char* field) {
    const auto bad = [&](const char* why) {
        char v[40];
        std::snprintf(v, sizeof v, "%.17g", value);
        finding(std::string(field) + " " + v + " written as \"" + line + "\": " + why);
    };
    if (line.empty() || line[0] != (value >= 0 ? ' ' : '-')) bad("sign");
    const std::size_t e = line.find('E');
    const std::string mantissa = line.substr(1, e == std::string::npos ? std::string::npos : e - 1);
    if (mantissa.empty() || mantissa == ".") bad("no digits");
    if (mantissa[0] == '0' && mantissa.size() > 1) bad("a zero before the point");
    const std::size_t point = mantissa.find('.');
    if (point != std::string::npos && (mantissa.back() == '0' || mantissa.back() == '.')) bad("trailing zeros");
    int significant = 0;
    bool leading = true;
    for (char c : mantissa) {
        if (c == '.') continue;
        if (c < '0' || c > '9') bad("not a digit");
        if (c != '0') leading = false;
        if (!leading) ++significant;
    }
    if (significant > 15) bad("more than 15 significant digits");
    if (e != std::string::npos) {
        const std::string exp = line.substr(e + 1);
        if (exp.size() < 2 || (exp[0] != '+' && exp[0] != '-')) bad("exponent");
    }
    const double back = wf::parseNumber(line);
    // 15 digits: half a unit in the 15th place, and the spacing of the smallest doubles
    if (!(std::fabs(back - value) <= std::fabs(value) * 5.1e-15 + 1e-300)) bad("reads back as another value");
}

std::vector<std::string> lines(const std::string& content) {
    if (content.size() < 2 || content.compare(content.size() - 2, 2, wf::kEol) != 0)
        finding("the file does not end with a whole line");
    for (std::size_t i = 0; i < content.size(); ++i)
        if (content[i] == '\n' && (i == 0 || content[i - 1] != '\r')) finding("a line not ended by CR LF");
    return wf::splitLines(content);
}

constexpr const char* kBefore = "before\r\n";

#if LK_FUZZ_HANDOVER == 1
constexpr const char* kName = "hl.dat";

bool write(Bytes& in, engine::Model& m) {
    while (!in.empty() && m.bridges.size() < engine::kMaxBridges) {
        engine::Bridge b;
        b.kind = in.raw<std::int16_t>();
        b.x1 = in.number();
        b.y1 = in.number();
        b.x2 = in.number();
        b.y2 = in.number();
        m.bridges.push(b);
    }
    try {
        shapes::writeHlDat(fuzzsupport::programFolder(), m);
        return true;
    } catch (const fault::OverflowFault&) {
        return false;
    }
}

void readBack(const engine::Model& m, const std::string& content) {
    // the cut stage reads it into the same bridges, unless a value is beyond the sizes it cuts
    std::vector<cut::Bridge> read;
    try {
        read = cut::parseBridges(content, 1);
        if (read.size() != m.bridges.size()) finding("the cut stage reads another number of bridges");
    } catch (const fault::HandoverFault& e) {
        const bool tooLarge = e.text.size() > 12 && e.text.compare(e.text.size() - 12, 12, "out of range") == 0;
        if (!tooLarge) finding(std::string("the cut stage refuses it: ") + e.what());
    }
    for (std::size_t i = 0; i < read.size(); ++i) {
        const engine::Bridge& b = m.bridges[i];
        const auto near = [](double a, double v) { return std::fabs(a - v) <= std::fabs(v) * 5.1e-15 + 1e-300; };
        if (read[i].kind != b.kind || !near(read[i].p1.x, b.x1) || !near(read[i].p1.y, b.y1) ||
            !near(read[i].p2.x, b.x2) || !near(read[i].p2.y, b.y2))
            finding("the cut stage reads bridge " + std::to_string(i) + " otherwise");
    }

    const auto l = lines(content);
    checkNumber(l[0], static_cast<double>(m.bridges.size()), "count");
    if (l.size() != 1 + 5 * m.bridges.size()) finding("lines against the count");
    wf::LineReader r(l);
    r.text();
    for (const engine::Bridge& b : m.bridges) {
        checkNumber(r.text(), b.kind, "kind");
        checkNumber(r.text(), b.x1, "x1");
        checkNumber(r.text(), b.y1, "y1");
        checkNumber(r.text(), b.x2, "x2");
        checkNumber(r.text(), b.y2, "y2");
    }
}
#elif LK_FUZZ_HANDOVER == 2
constexpr const char* kName = "workm.dat";
constexpr double kDegToRad = 0.0174532925199433;

bool write(Bytes& in, engine::Model& m) {
    while (!in.empty() && (m.barArcs.size() < engine::kMaxBarElements || m.barLines.size() < engine::kMaxBarElements)) {
        const std::uint8_t what = in.byte();
        const std::int16_t type = static_cast<std::int16_t>(what >> 1) % 7;  // 0..6: below, at and above 3
        const std::int32_t pair = in.raw<std::int32_t>();
        if ((what & 1) && m.barArcs.size() < engine::kMaxBarElements) {
            engine::BarArc a;
            a.cx = in.number();
            a.cy = in.number();
            a.radius = in.number();
            a.startDeg = in.number();
            a.endDeg = in.number();
            a.type = type;
            a.pairIndex = pair;
            m.barArcs.push(a);
        } else if (m.barLines.size() < engine::kMaxBarElements) {
            engine::BarLine l;
            l.x1 = in.number();
            l.y1 = in.number();
            l.x2 = in.number();
            l.y2 = in.number();
            l.type = type;
            l.pairIndex = pair;
            m.barLines.push(l);
        }
    }
    try {
        convert::Settings s;
        std::int32_t object = 0;
        convert::writeConversionFiles(m, true, shapes::conversionTargets(fuzzsupport::programFolder()), s, object);
        return true;
    } catch (const fault::OverflowFault&) {
        return false;
    }
}

void readBack(const engine::Model& m, const std::string& content) {
    const auto l = lines(content);
    std::size_t arcs = 0, bars = 0;
    for (const auto& a : m.barArcs) arcs += a.type >= 3;
    for (const auto& b : m.barLines) bars += b.type >= 3;
    if (l.size() < 2) finding("no counts");
    checkNumber(l[0], static_cast<double>(arcs), "arc count");
    checkNumber(l[1], static_cast<double>(bars), "line count");
    if (l.size() != 2 + 6 * arcs + 5 * bars) finding("lines against the counts");
    wf::LineReader r(l);
    r.text();
    r.text();
    for (const auto& a : m.barArcs) {
        if (a.type < 3) continue;
        checkNumber(r.text(), a.cx, "cx");
        checkNumber(r.text(), a.cy, "cy");
        checkNumber(r.text(), a.radius, "radius");
        checkNumber(r.text(), a.startDeg * kDegToRad, "start");
        checkNumber(r.text(), a.endDeg * kDegToRad, "end");
        checkNumber(r.text(), a.pairIndex, "pair");
    }
    for (const auto& b : m.barLines) {
        if (b.type < 3) continue;
        checkNumber(r.text(), b.x1, "x1");
        checkNumber(r.text(), b.y1, "y1");
        checkNumber(r.text(), b.x2, "x2");
        checkNumber(r.text(), b.y2, "y2");
        checkNumber(r.text(), b.pairIndex, "pair");
    }
}
#else
#error "LK_FUZZ_HANDOVER: 1 hl.dat, 2 workm.dat"
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    in.rawDoubles = in.byte() & 1;
    fuzzsupport::writeWork(kName, kBefore);
    engine::Model m;
    const bool written = write(in, m);
    const std::string content = wf::readFile(fuzzsupport::workPath(kName));
    if (written)
        readBack(m, content);
    else if (content != kBefore)
        finding("a refused write changed the file");
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fuzzsupport::workPath(""), ec))
        if (e.path().filename().string()[0] == '.') finding("left behind: " + e.path().filename().string());
    return 0;
}
