// A command-line agent's standard output in any of the three formats, delivered in pieces of
// any size: decoding and parsing do not depend on where the pipe cut it, valid UTF-8 comes
// through unchanged, and a run that fails says why.
#include "Backend/AgentRun.h"
#include "Backend/IncrementalUTF8Decoder.h"
#include "Backend/OutputBuffer.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "Support/Text.h"

#include <QStringDecoder>

#include <cstdint>

namespace {

using Mode = CLIAssistantClient::OutputMode;

QString decodeInPieces(const QList<QByteArrayView>& chunks)
{
    IncrementalUTF8Decoder decoder;
    QString text;
    for (QByteArrayView chunk : chunks)
        text += decoder.feed(chunk);
    return text + decoder.flush();
}

QString withoutReplacements(QString text)
{
    return text.remove(QChar::ReplacementCharacter);
}

struct Parsed {
    QStringList pieces;
    qsizetype emitted = 0;
    QString raw;
};

Parsed parse(Mode mode, const QStringList& chunks)
{
    OutputBuffer buffer(mode);
    Parsed parsed;
    for (const QString& chunk : chunks)
        parsed.pieces += buffer.feed(chunk);
    parsed.pieces += buffer.flush();
    parsed.emitted = buffer.totalEmitted();
    parsed.raw = buffer.raw();
    return parsed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto mode = static_cast<Mode>(input.takeByte() % 3);
    const int status = input.takeByte() % 4;
    const std::vector<std::size_t> lengths = input.takePieceLengths();
    const QByteArrayView bytes = input.rest();

    // The pipe's cuts: a character split between two reads arrives whole.
    const QList<QByteArrayView> chunks = FuzzInput::cut(bytes, lengths);
    const QString text = decodeInPieces(chunks);
    if (const std::optional<QString> whole = Text::decodeUtf8Strict(bytes))
        fuzzCheck(text == *whole, "valid UTF-8 cut anywhere decodes unchanged");
    // The same bytes decoded at once, damaged ones replaced; a leading byte-order mark is text.
    QStringDecoder replacing(QStringDecoder::Utf8,
                             QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    fuzzCheck(withoutReplacements(text) == withoutReplacements(replacing.decode(bytes)),
              "every well-formed character survives the cuts, also after a damaged byte");

    // The decoder's cuts are not the agent's lines: parsing in pieces equals parsing at once.
    const Parsed inPieces = parse(mode, FuzzInput::cut(text, lengths));
    const Parsed atOnce = parse(mode, {text});
    fuzzCheck(inPieces.raw == text, "the raw output is kept whole");
    qsizetype counted = 0;
    for (const QString& piece : inPieces.pieces) {
        fuzzCheck(!piece.isEmpty(), "no empty reply piece");
        counted += Text::graphemeCount(piece);
    }
    fuzzCheck(inPieces.emitted == counted, "the count is of the pieces handed out");
    if (mode == Mode::plainText)
        fuzzCheck(inPieces.pieces.join(QString()) == text, "plain output is the reply itself");
    else
        fuzzCheck(inPieces.pieces == atOnce.pieces, "lines parse the same however they were cut");

    // How the run ends, with this output as both streams.
    OutputBuffer output(mode);
    output.feed(text);
    output.flush();
    const QByteArray standardError = bytes.toByteArray();
    const std::optional<CLIAssistantError> error = AgentRun::verdict(status, standardError, output);
    fuzzCheck(error.has_value() == (status != 0 || output.totalEmitted() == 0), "a reply ends well, nothing else");
    if (error)
        fuzzCheck(!Text::trimmed(error->description()).isEmpty(), "a failed run says why");
    return 0;
}
