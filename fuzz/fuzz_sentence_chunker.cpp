// A reply streamed in pieces of any size: the chunker hands out non-empty, trimmed sentences
// that invent nothing and lose nothing but the boundary marks of forced cuts, and no sentence
// outgrows the buffer limit.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzText.h"
#include "Support/Text.h"
#include "TTS/SentenceChunker.h"

#include <cstdint>

namespace {

const QString terminators = QStringLiteral(".!?\u2026\u3002\uFF01\uFF1F\n");

// Whether `output` is `input` with only terminators left out (greedy matching suffices: a
// skipped character equal to the next wanted one is itself a terminator).
bool keepsAllButTerminators(const QString& input, const QString& output)
{
    qsizetype next = 0;
    for (QChar c : input) {
        if (next < output.size() && output.at(next) == c)
            ++next;
        else if (!terminators.contains(c))
            return false;
    }
    return next == output.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t limits = input.takeByte();
    // Mostly the engine's own limits, sometimes any small ones.
    const int minChars = limits < 128 ? 10 : limits % 16;
    const int maxChars = limits < 128 ? 140 : 1 + input.takeByte() % 160;
    const std::vector<std::size_t> lengths = input.takePieceLengths();
    const QString reply = QString::fromUtf8(input.rest());

    SentenceChunker chunker(minChars, maxChars);
    QStringList sentences;
    for (const QString& delta : FuzzInput::cut(reply, lengths))
        sentences += chunker.feed(delta);
    if (const std::optional<QString> rest = chunker.flushRemaining())
        sentences.append(*rest);
    fuzzCheck(chunker.buffer().isEmpty(), "the flush empties the buffer");

    for (const QString& sentence : sentences) {
        fuzzCheck(!sentence.isEmpty() && sentence == Text::trimmed(sentence), "sentences are trimmed, never blank");
        fuzzCheck(Text::graphemeCount(sentence) <= maxChars, "no sentence outgrows the limit");
    }
    fuzzCheck(keepsAllButTerminators(FuzzText::withoutSpace(reply), FuzzText::withoutSpace(sentences.join(QString()))),
              "the sentences invent nothing and drop only forced-cut marks");
    return 0;
}
