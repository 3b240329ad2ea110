// A calendar file read in pieces of any size: the splitter hands over the same children
// however the file is cut, each the text of one VEVENT with LF line ends, never nested deeper
// than it allows, and libical reads each without trouble.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "Platform/Calendar/IcalContentLine.h"
#include "Platform/Calendar/IcalSplitter.h"
#include "Platform/Calendar/IcalTree.h"

#include <QStringList>

#include <cstdint>

namespace {

struct Split {
    QList<QByteArray> children;
    QList<std::pair<qint64, qint64>> places;  // of every child, in the file
    int calendars = 0;
    int damage = 0;
    int longLines = 0;

    bool operator==(const Split&) const = default;
};

Split split(const QList<QByteArrayView>& pieces)
{
    Split found;
    IcalSplitter splitter({"VEVENT"}, {[](int) {},
                                       [&](const IcalSplitter::Child& child) {
                                           if (!child.text.isEmpty())
                                               found.children.append(child.text);
                                           found.places.append({child.begin, child.end});
                                       },
                                       [](int) {}});
    for (const QByteArrayView piece : pieces)
        splitter.add(piece);
    splitter.finish();
    found.calendars = splitter.calendars();
    found.damage = splitter.damage().any();
    found.longLines = splitter.longLines();
    return found;
}

// How deep the components of a child's text nest, counting BEGIN and END lines as the
// splitter reads them (with parameters, folded, in any case).
int depthOf(const QByteArray& text)
{
    int depth = 0, deepest = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype end = IcalContentLine::lineEnd(text, at);
        if (const std::optional<IcalSplitter::Boundary> boundary = IcalSplitter::boundaryOf(text.mid(at, end - at + 1)))
            boundary->begin ? deepest = std::max(deepest, ++depth) : --depth;
        at = end + 1;
    }
    return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::vector<std::size_t> lengths = input.takePieceLengths();
    const QByteArrayView file = input.rest();

    const Split whole = split({file});
    fuzzCheck(split(FuzzInput::cut(file, lengths)) == whole, "the pieces a file is read in change nothing");
    for (const auto& [begin, end] : whole.places)
        fuzzCheck(0 <= begin && begin < end && end <= qint64(file.size()), "a child's bytes lie in the file");
    for (const QByteArray& text : whole.children) {
        fuzzCheck(text.endsWith('\n') && !text.contains('\r'), "a child's lines end in LF alone");
        fuzzCheck(depthOf(text) <= IcalSplitter::kMaxDepth, "no child nests deeper than allowed");
        // libical's text ends at a NUL byte: such a child is lost, and counted.
        const IcalTree::Owned parsed(icalparser_parse_string(text.constData()));
        fuzzCheck(parsed != nullptr || text.contains('\0'), "libical reads every child handed over");
    }
    return 0;
}
