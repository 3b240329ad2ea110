// A calendar file read in pieces of any size: the splitter hands over the same children
// however the file is cut, each the text of one VEVENT with LF line ends, never nested deeper
// than it allows, and libical reads each without trouble.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "Platform/Calendar/IcalSplitter.h"
#include "Platform/Calendar/IcalTree.h"

#include <QStringList>

#include <cstdint>

namespace {

struct Split {
    QList<QByteArray> children;
    int calendars = 0;
    int damage = 0;
    int longLines = 0;

    bool operator==(const Split&) const = default;
};

Split split(const QList<QByteArrayView>& pieces)
{
    Split found;
    IcalSplitter splitter("VEVENT",
                          {[](int) {}, [&](int, const QByteArray& text) { found.children.append(text); }, [](int) {}});
    for (const QByteArrayView piece : pieces)
        splitter.add(piece);
    splitter.finish();
    found.calendars = splitter.calendars();
    found.damage = splitter.damage().any();
    found.longLines = splitter.longLines();
    return found;
}

// How deep the components of a child's text nest, counting BEGIN and END lines.
int depthOf(const QByteArray& text)
{
    int depth = 0, deepest = 0;
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray name = line.trimmed().toUpper();
        if (name.startsWith("BEGIN:"))
            deepest = std::max(deepest, ++depth);
        else if (name.startsWith("END:"))
            --depth;
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
    for (const QByteArray& text : whole.children) {
        fuzzCheck(text.endsWith('\n') && !text.contains('\r'), "a child's lines end in LF alone");
        fuzzCheck(depthOf(text) <= IcalSplitter::kMaxDepth, "no child nests deeper than allowed");
        // libical's text ends at a NUL byte: such a child is lost, and counted.
        const IcalTree::Owned parsed(icalparser_parse_string(text.constData()));
        fuzzCheck(parsed != nullptr || text.contains('\0'), "libical reads every child handed over");
    }
    return 0;
}
