#include "Speech/SpeechPlayerError.h"

QString SpeechPlayerError::description() const
{
    switch (kind) {
    case Kind::voiceUnavailable:
        return QStringLiteral("이 시스템에 '%1' 언어용 음성이 설치돼 있지 않습니다. espeak-ng 음성 데이터"
                              "(espeak-ng-data 패키지)에 이 언어가 있는지 확인하고, 설정 → 음성에서 다른 언어나 "
                              "음성을 골라 주세요.")
            .arg(detail);
    case Kind::timeout:
        return QStringLiteral("Speech watchdog timed out before the synthesizer finished.");
    case Kind::playbackFailed:
        return QStringLiteral("Speech could not be played: %1").arg(detail);
    }
    return {};
}
