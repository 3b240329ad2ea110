#pragma once

#include "STT/SpeechDecoder.h"
#include "STT/SpeechEngine.h"

#include <QList>

struct cmd_ln_s;
struct ps_decoder_s;

// Speech decoding with pocketsphinx and the models installed with it.
class PocketsphinxDecoder final : public SpeechDecoder {
public:
    static constexpr const char* kDefaultModelRoot = "/usr/share/pocketsphinx/model";

    PocketsphinxDecoder();
    ~PocketsphinxDecoder() override;
    PocketsphinxDecoder(const PocketsphinxDecoder&) = delete;
    PocketsphinxDecoder& operator=(const PocketsphinxDecoder&) = delete;

    int sampleRate() const override { return 16000; }
    bool load(const SpeechModel& model, QString* error) override;
    void unload() override;
    bool startUtterance(QString* error) override;
    bool process(const std::int16_t* samples, std::size_t count, QString* error) override;
    bool inSpeech() const override;
    QString hypothesis() override;
    QString endUtterance() override;

    // Complete models under `root`: "<root>/en-us/" holding the acoustic model "en-us/", the
    // language model "en-us.lm.bin" and the dictionary "cmudict-en-us.dict", as locale "en-US".
    static QList<SpeechModel> installedModels(const QString& root = QString::fromLatin1(kDefaultModelRoot));
    // pocketsphinx with the models installed on this machine.
    static SpeechEngine installedEngine();

private:
    cmd_ln_s* m_config = nullptr;
    ps_decoder_s* m_decoder = nullptr;
    bool m_inUtterance = false;
};
