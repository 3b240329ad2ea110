#include "Audio/VoiceprintEmbedder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr int kFftSize = 1024;  // room for the autocorrelation up to the longest pitch lag
constexpr int kBins = kFftSize / 2 + 1;
constexpr double kLowestFrequency = 200;
constexpr double kHighestFrequency = 3800;
constexpr int kShortestLag = int(VoiceprintEmbedder::kRate / 400);  // highest pitch 400 Hz
constexpr int kLongestLag = int(VoiceprintEmbedder::kRate / 70);  // lowest pitch 70 Hz
constexpr float kSpeechRange = 6.9f;  // frames within 30 dB of the loudest are speech
constexpr float kVoicedCorrelation = 0.6f;
constexpr std::size_t kLeastVoicedFrames = 30;

// Fitted on the recorded prompts of the people the speaker-label tests name as fitted on
// (RecordedVoices::people() under tests/: three people, 150 utterances of 2-6 s each over a
// telephone line and over a wideband one), never on the people they are measured on:
// kMean and kSpread are each feature's mean and its spread within one person; kLimitedMean and
// kWhitening (the inverse of the Cholesky factor of the within-person covariance, lower
// triangle row by row) are those of the features once limited.
constexpr std::array<float, VoiceprintEmbedder::kLength> kMean{
    8.415f, 3.163f, 1.506f, 0.1309f, 0.6529f, -0.01078f, 0.2406f, -0.5923f,
    0.129f, 0.04039f, 0.04532f, 0.1777f, 4.208f, 3.87f, 3.18f, 2.264f,
    1.96f, 1.643f, 1.562f, 1.434f, 1.368f, 1.244f, 1.251f, 1.228f,
    1.18f, 0.7866f, 0.6645f, 0.5737f, 0.5094f, 0.4429f, 0.4066f, 0.3866f,
    0.3651f, 0.3437f, 0.3378f, 0.3357f, 5.258f, 0.3051f,
};
constexpr std::array<float, VoiceprintEmbedder::kLength> kSpread{
    1.044f, 0.9858f, 0.8362f, 0.6129f, 0.4912f, 0.4203f, 0.4148f, 0.333f,
    0.3182f, 0.2943f, 0.322f, 0.2896f, 0.5502f, 0.5135f, 0.5009f, 0.2731f,
    0.2392f, 0.1967f, 0.1894f, 0.173f, 0.1873f, 0.1603f, 0.1797f, 0.1934f,
    0.1397f, 0.09244f, 0.07625f, 0.05566f, 0.05462f, 0.04468f, 0.041f, 0.03624f,
    0.03732f, 0.04016f, 0.04058f, 0.04824f, 0.0795f, 0.07556f,
};
constexpr std::array<float, VoiceprintEmbedder::kLength> kLimitedMean{
    0.001685f, 0.003027f, -0.0001135f, -0.0218f, 0.0003284f, -0.03652f, -0.01154f, 0.02641f,
    -0.1086f, 0.01059f, -0.008219f, 0.009464f, -0.01131f, -0.01827f, -0.007976f, -0.02536f,
    -0.009932f, -0.01718f, -0.007378f, -0.01817f, -0.01245f, -0.01823f, -0.01106f, -0.02086f,
    -0.00439f, -0.02499f, -0.008417f, -0.003694f, -0.01414f, -0.005053f, -0.003518f, -0.01301f,
    -0.004174f, -0.02063f, -0.0173f, -0.02722f, 0.04062f, -0.02232f,
};
constexpr std::array<float, VoiceprintEmbedder::kLength*(VoiceprintEmbedder::kLength + 1) / 2> kWhitening{
    1.224f, 0.3666f, 1.194f, 0.6203f, -0.3502f, 1.394f, -0.2566f, -0.07094f,
    0.6186f, 1.442f, 0.1419f, -0.5514f, 0.005579f, -0.1965f, 1.384f, 0.003563f,
    0.1577f, -0.1163f, -0.1574f, -0.02572f, 1.292f, 0.6242f, 0.4768f, 0.212f,
    -0.075f, -0.203f, -0.1602f, 1.376f, 0.06044f, 0.1087f, 0.03998f, -0.1981f,
    -0.1346f, -0.1486f, -0.03705f, 1.249f, -0.03934f, -0.1089f, 0.1914f, 0.1691f,
    0.08864f, -0.2218f, -0.4397f, -0.1426f, 1.66f, -0.042f, 0.1583f, -0.1548f,
    -0.06625f, 0.08122f, 0.2318f, 0.07327f, -0.6004f, -0.3503f, 1.424f, 0.257f,
    -0.2506f, 0.2341f, 0.1722f, -0.1205f, 0.03904f, -0.09515f, -0.224f, -0.8708f,
    -0.04631f, 1.675f, -0.206f, 0.1629f, -0.1625f, 0.02586f, -0.3419f, -0.1874f,
    0.1392f, 0.1667f, -0.159f, -0.5045f, -0.3984f, 1.408f, -0.4012f, -0.5249f,
    0.2495f, -0.04964f, -0.2207f, 0.06462f, 0.06933f, -0.2091f, 0.1381f, 0.1019f,
    -0.1062f, 0.0004523f, 1.428f, 0.2722f, -0.1846f, 0.1082f, -0.07176f, -0.05544f,
    0.1653f, -0.1466f, -0.08798f, 0.3978f, -0.06861f, -0.09644f, 0.1031f, -0.1953f,
    1.398f, 0.0352f, -0.03004f, 0.5763f, -0.2427f, -0.07031f, 0.1627f, 0.2342f,
    0.06152f, 0.1335f, -0.222f, 0.235f, -0.1931f, -0.3113f, 0.02932f, 1.528f,
    0.2708f, 0.04157f, -0.0008091f, -0.2448f, 0.1587f, -0.1423f, 0.07046f, -0.3015f,
    -0.08498f, -0.08001f, 0.1165f, 0.05913f, 0.07728f, 0.1755f, -0.1435f, 1.322f,
    -0.1871f, -0.158f, -0.1149f, -0.02776f, -0.2133f, 0.01603f, -0.09847f, 0.03502f,
    -0.01447f, -0.09793f, 0.007296f, 0.1839f, -0.0001667f, -0.1603f, 0.06418f, -0.04936f,
    1.215f, -0.03357f, -0.01731f, -0.1623f, -0.1561f, -0.1729f, 0.06989f, -0.1151f,
    0.02719f, 0.02f, -0.07425f, -0.007265f, -0.08684f, 0.04552f, -0.07348f, 0.003238f,
    0.05333f, 0.06134f, 1.224f, -0.004471f, 0.06819f, -0.1898f, -0.2351f, 0.06046f,
    0.09982f, -0.04182f, -0.1553f, 0.123f, -0.02181f, -0.2244f, 0.05074f, -0.03016f,
    -0.2137f, -0.2251f, -0.02235f, 0.1468f, -0.04382f, 1.262f, -0.1577f, 0.007354f,
    -0.2491f, -0.4444f, -0.01547f, 0.0003609f, -0.08293f, -0.06894f, -0.1708f, 0.05535f,
    -0.1074f, -0.1171f, 0.1092f, 0.0241f, 0.05424f, -0.2995f, -0.02871f, 0.146f,
    0.1654f, 1.384f, 0.1117f, -0.112f, -0.1427f, 0.036f, -0.01856f, -0.2331f,
    0.04257f, -0.1321f, 0.08117f, -0.09784f, 0.1212f, -0.2111f, -0.08653f, -0.0322f,
    0.127f, 0.04483f, 0.03841f, -0.06312f, -0.1014f, -0.09548f, 1.285f, -0.2435f,
    -0.2213f, 0.05695f, 0.105f, -0.05786f, -0.31f, -0.1668f, 0.01867f, -0.009379f,
    -0.1029f, -0.0403f, 0.2056f, 0.05035f, 0.07131f, -0.08912f, -0.08006f, -0.1139f,
    -0.1908f, -0.1132f, -0.3055f, -0.1143f, 1.361f, -0.1361f, -0.1681f, -0.181f,
    -0.1816f, -0.04835f, 0.04446f, -0.2269f, -0.341f, -0.05597f, 0.08208f, 0.03308f,
    -0.0552f, -0.002202f, 0.03505f, 0.04718f, -0.09711f, 0.01038f, 0.02501f, -0.002613f,
    -0.07084f, -0.3853f, -0.2349f, 1.434f, -0.004353f, -0.1813f, -0.0166f, -0.0944f,
    0.009375f, 0.02212f, -0.1433f, -0.2429f, -0.2917f, -0.005348f, 0.2353f, 0.01922f,
    -0.08432f, 0.1198f, 0.1249f, 0.05298f, -0.03127f, -0.05139f, -0.152f, -0.1074f,
    -0.002182f, -0.2487f, -0.4406f, 1.481f, -0.04329f, 0.08307f, -0.1944f, -0.2275f,
    0.06615f, -0.1738f, 0.03293f, 0.2068f, 0.03954f, -0.2454f, 0.03867f, 0.1024f,
    -0.6106f, 0.2126f, 0.2646f, -0.01351f, 0.06899f, 0.03738f, -0.0969f, -0.1027f,
    -0.1295f, -0.01745f, 0.1164f, 0.05482f, 1.345f, -0.1465f, 0.191f, -0.01585f,
    0.08291f, -0.3073f, 0.1382f, 0.04021f, -0.01636f, 0.1034f, -0.07345f, 0.1135f,
    -0.1207f, 0.03253f, -0.5521f, 0.1004f, -0.02892f, -0.001422f, -0.1611f, 0.04933f,
    0.06544f, 0.09659f, -0.05515f, 0.00221f, 0.0388f, -0.3645f, 1.505f, -0.05333f,
    0.1894f, 0.01823f, -0.1342f, -0.2458f, 0.2546f, 0.1341f, -0.08366f, 0.01629f,
    0.05052f, -0.0831f, 0.03993f, -0.065f, 0.3164f, -0.6639f, 0.02286f, 0.03675f,
    -0.07131f, -0.0222f, 0.01596f, 0.0436f, -0.04255f, -0.0318f, -0.02981f, -0.3188f,
    -0.4594f, 1.601f, -0.1942f, -0.1321f, -0.1852f, 0.1982f, 0.1455f, 0.1691f,
    0.05432f, 0.04192f, -0.09486f, 0.01432f, 0.02136f, -0.2276f, 0.06064f, 0.06525f,
    0.1448f, -0.6681f, -0.06682f, 0.1246f, 0.04077f, 0.06628f, -0.03318f, -0.06395f,
    -0.04573f, -0.06559f, -0.1622f, -0.256f, -0.1535f, 1.435f, -0.04782f, 0.07974f,
    -0.3669f, -0.1901f, -0.08474f, -0.05093f, -0.05112f, 0.0001355f, 0.07675f, 0.0007661f,
    -0.1245f, 0.06466f, -0.1993f, 0.2204f, -0.07746f, 0.1719f, -0.8409f, 0.01252f,
    -0.008279f, 0.07117f, 0.0179f, 0.05752f, -0.0598f, -0.00326f, 0.1018f, -0.1593f,
    -0.3399f, -0.2521f, 1.632f, -0.09172f, 0.1063f, 0.02973f, -0.03351f, -0.1318f,
    0.4009f, 0.1504f, 0.1147f, -0.09674f, 0.0406f, -0.0898f, -0.03234f, 0.05895f,
    0.1338f, 0.0535f, 0.006073f, 0.002308f, -0.6453f, -0.1418f, -0.05575f, -0.06447f,
    -0.03483f, -0.1237f, 0.003618f, -0.05945f, -0.122f, -0.1216f, -0.02589f, -0.2771f,
    1.493f, -0.01059f, -0.1396f, -0.1213f, -0.07109f, -0.0526f, -0.1204f, -0.09898f,
    -0.1858f, -0.3936f, 0.02542f, 0.1934f, -0.05502f, -0.03463f, 0.1267f, -0.03563f,
    0.05646f, 0.1777f, 0.07094f, -0.6657f, 0.01149f, 0.1524f, 0.05627f, -0.1037f,
    0.074f, -0.003393f, -0.07876f, -0.0565f, -0.1764f, -0.4602f, -0.1697f, 1.501f,
    0.1435f, 0.01333f, 0.00374f, -0.01583f, 0.1479f, 0.1333f, -0.02129f, 0.1059f,
    0.01295f, 0.1365f, 0.03031f, 0.0651f, -0.04427f, 0.07035f, 0.02585f, 0.009589f,
    -0.1021f, 0.01384f, 0.04291f, -0.8626f, -0.1285f, 0.09826f, 0.08594f, 0.06963f,
    -0.1715f, -0.07632f, -0.04166f, -0.05875f, 0.03014f, -0.09007f, -0.1473f, 1.47f,
    -0.04212f, 0.1799f, -0.306f, -0.1353f, 0.06772f, -0.1751f, 0.03055f, 0.1166f,
    0.01714f, -0.05555f, -0.156f, 0.1712f, -0.1491f, 0.1663f, -0.115f, 0.02913f,
    -0.07889f, 0.01427f, 0.05215f, -0.009577f, -0.8235f, 0.08127f, -0.1103f, -0.1846f,
    -0.07768f, -0.06501f, -0.06144f, -0.1084f, -0.05124f, -0.1856f, -0.04827f, -0.05373f,
    1.546f, 0.08371f, 0.09648f, -0.1383f, -0.1799f, -0.02552f, 0.002688f, -0.03189f,
    0.06829f, 0.05097f, 0.02498f, -0.06409f, 0.1089f, -0.009585f, 0.06772f, 0.1439f,
    0.06092f, -0.01091f, 0.09221f, 0.2218f, -0.04174f, 0.2015f, -1.04f, -0.3902f,
    0.03269f, -0.03494f, -0.113f, -0.186f, -0.0714f, 0.01306f, -0.08151f, -0.2824f,
    -0.1228f, -0.2249f, 1.767f, -0.06312f, -0.01364f, -0.05486f, -0.06104f, -0.1491f,
    -0.09634f, -0.03509f, -0.003957f, 0.003539f, -0.02233f, 0.07805f, 0.1364f, 0.1114f,
    0.07626f, 0.01904f, -0.001386f, -0.0872f, -0.0624f, -0.152f, -0.01721f, 0.1552f,
    0.09392f, -1.117f, -0.1764f, -0.2146f, 0.01678f, 0.005167f, 0.03482f, -0.01554f,
    0.0007922f, 0.04901f, -0.04473f, -0.2405f, -0.2579f, 1.857f, -0.005191f, 0.1412f,
    -0.08008f, -0.1535f, -0.1866f, -0.0738f, -0.08262f, 0.0321f, 0.0921f, -0.0882f,
    -0.01931f, 0.2253f, 0.02677f, 0.09513f, -0.1935f, 0.06119f, -0.05932f, -0.05928f,
    0.01452f, -0.181f, 0.06753f, 0.3123f, 0.3355f, -1.425f, -0.1721f, -0.1552f,
    0.1467f, -0.06964f, 0.08837f, -0.001729f, -0.116f, 0.01468f, -0.1516f, -0.2856f,
    -0.4308f, 2.095f, 0.3029f, 0.3568f, 0.1692f, -0.1071f, 0.09294f, 0.2676f,
    0.17f, -0.03992f, -0.2657f, -0.1027f, -0.1756f, -0.458f, -0.1414f, -0.02777f,
    0.1769f, -0.003035f, -0.1499f, -0.06314f, 0.1729f, -0.1289f, -0.09052f, -0.1335f,
    -0.1694f, -0.2084f, -0.1527f, 0.005978f, -0.03142f, 0.0282f, 0.1635f, 0.08334f,
    -0.1504f, 0.1166f, -0.1258f, -0.04338f, -0.1379f, -0.176f, 1.768f, 0.09326f,
    -0.2946f, -0.09036f, -0.0605f, 0.1046f, -0.1464f, -0.2043f, -0.2531f, -0.4437f,
    -0.305f, -0.2966f, -0.2302f, -0.0542f, -0.08285f, -0.1255f, 0.1015f, 0.08267f,
    -0.05592f, -0.1702f, -0.01031f, -0.05226f, -0.03488f, 0.03126f, 0.005588f, 0.1623f,
    -0.03613f, -0.1809f, 0.0682f, 0.06686f, 0.09151f, -0.03716f, 0.04439f, -0.01159f,
    -0.1897f, -0.1555f, -0.1256f, 0.7841f, 1.595f,
};

// How far a scaled feature may stand from the mean: beyond about that, it grows ever more
// slowly. Otherwise a voice far from the mean in one feature (a deep voice's pitch, on a
// wideband microphone) drowns out the rest, and all such voices look alike.
constexpr float kFarthest = 2.5f;

float quantile(std::vector<float> values, double fraction)
{
    const auto at = values.begin() + std::ptrdiff_t(fraction * double(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

double mel(double frequency)
{
    return 2595 * std::log10(1 + frequency / 700);
}

double frequencyOfMel(double value)
{
    return 700 * (std::pow(10, value / 2595) - 1);
}

}  // namespace

VoiceprintEmbedder::VoiceprintEmbedder() : m_fft(kFftSize), m_window(kFrameLength)
{
    for (int n = 0; n < kFrameLength; ++n)
        m_window[std::size_t(n)] = float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * (n + 0.5) / kFrameLength));

    // The window's autocorrelation, to undo its taper at each lag.
    float* samples = m_fft.samples();
    std::fill_n(samples, kFftSize, 0.0f);
    std::copy(m_window.begin(), m_window.end(), samples);
    m_fft.forward();
    for (int k = 0; k < kBins; ++k)
        m_fft.spectrum()[k] = std::norm(m_fft.spectrum()[k]);
    m_fft.inverse();
    m_windowCorrelation.assign(samples, samples + kLongestLag + 2);
    for (float& value : m_windowCorrelation)
        value /= samples[0];

    const double lowest = mel(kLowestFrequency), step = (mel(kHighestFrequency) - lowest) / (kMelBands + 1);
    for (int band = 0; band < kMelBands; ++band) {
        const double left = frequencyOfMel(lowest + band * step), centre = frequencyOfMel(lowest + (band + 1) * step),
                     right = frequencyOfMel(lowest + (band + 2) * step);
        MelBand melBand{int(std::floor(left * kFftSize / kRate)) + 1, {}};
        for (int k = melBand.firstBin; k * kRate / kFftSize < right; ++k) {
            const double frequency = k * kRate / kFftSize;
            melBand.weights.push_back(float(frequency <= centre ? (frequency - left) / (centre - left)
                                                                : (right - frequency) / (right - centre)));
        }
        m_melBands.push_back(std::move(melBand));
    }
    // The orthonormal DCT-II rows of the cepstral coefficients 1 to kCepstra.
    for (std::size_t c = 0; c < kCepstra; ++c)
        for (std::size_t band = 0; band < kMelBands; ++band)
            m_cosines[c][band] = float(std::sqrt(2.0 / kMelBands) *
                                       std::cos(std::numbers::pi * double(c + 1) * (double(band) + 0.5) / kMelBands));
}

void VoiceprintEmbedder::accumulate(const AudioBufferPtr& buffer)
{
    if (buffer->frameCount() == 0 || buffer->format().channels < 1)
        return;
    const AudioBufferPtr mono = m_converter.convertBuffer(buffer, {kRate, 1});
    if (!mono)
        return;
    if (m_carry.empty() && m_frames.empty())
        m_startSeconds = buffer->startSeconds();
    const float* samples = mono->channelData(0);
    m_carry.insert(m_carry.end(), samples, samples + mono->frameCount());
    std::size_t offset = 0;
    for (; offset + kFrameLength <= m_carry.size(); offset += kHop)
        processFrame(m_carry.data() + offset);
    m_carry.erase(m_carry.begin(), m_carry.begin() + std::ptrdiff_t(offset));
}

void VoiceprintEmbedder::processFrame(const float* frame)
{
    float* samples = m_fft.samples();
    for (int n = 0; n < kFrameLength; ++n)
        samples[n] = frame[n] * m_window[std::size_t(n)];
    std::fill(samples + kFrameLength, samples + kFftSize, 0.0f);
    m_fft.forward();

    std::array<float, kBins> power{};
    float energy = 0;
    for (int k = 0; k < kBins; ++k) {
        power[std::size_t(k)] = std::norm(m_fft.spectrum()[k]);
        energy += power[std::size_t(k)];
    }
    Frame result{};
    result.logEnergy = std::log(energy + 1e-20f);

    std::array<float, kMelBands> logMel{};
    for (std::size_t band = 0; band < kMelBands; ++band) {
        const MelBand& melBand = m_melBands[band];
        float sum = 0;
        for (std::size_t k = 0; k < melBand.weights.size(); ++k)
            sum += melBand.weights[k] * power[std::size_t(melBand.firstBin) + k];
        logMel[band] = sum;
    }
    // A floor 60 dB under the mean band keeps empty bands (a narrow-band line) from swamping the rest.
    float floor = 1e-20f;
    for (const float value : logMel)
        floor += value * (1e-6f / kMelBands);
    for (float& value : logMel)
        value = std::log(value + floor);
    for (std::size_t c = 0; c < kCepstra; ++c) {
        float sum = 0;
        for (std::size_t band = 0; band < kMelBands; ++band)
            sum += logMel[band] * m_cosines[c][band];
        result.cepstra[c] = sum;
    }

    // The autocorrelation is the inverse transform of the power spectrum.
    for (int k = 0; k < kBins; ++k)
        m_fft.spectrum()[k] = power[std::size_t(k)];
    m_fft.inverse();
    if (samples[0] > 0) {
        std::array<float, kLongestLag + 2> correlation{};
        for (int lag = kShortestLag - 1; lag <= kLongestLag + 1; ++lag)
            correlation[std::size_t(lag)] = samples[lag] / samples[0] / m_windowCorrelation[std::size_t(lag)];
        float best = 0;
        for (int lag = kShortestLag; lag <= kLongestLag; ++lag)
            best = std::max(best, correlation[std::size_t(lag)]);
        // The shortest lag that nearly reaches the best, so a period's multiples do not win.
        for (int lag = kShortestLag; lag <= kLongestLag; ++lag) {
            const float before = correlation[std::size_t(lag - 1)], here = correlation[std::size_t(lag)],
                        after = correlation[std::size_t(lag + 1)];
            if (here >= 0.9f * best && here >= before && here >= after) {
                const float curvature = before - 2 * here + after;
                const float shift = curvature < 0 ? 0.5f * (before - after) / curvature : 0.0f;
                result.voicing = here;
                result.logPitch = std::log(float(kRate) / (float(lag) + shift));
                break;
            }
        }
    }
    m_frames.push_back(result);
}

std::vector<std::size_t> VoiceprintEmbedder::speechFrames() const
{
    float loudest = -std::numeric_limits<float>::infinity();
    for (const Frame& frame : m_frames)
        loudest = std::max(loudest, frame.logEnergy);
    std::vector<std::size_t> speech;
    for (std::size_t i = 0; i < m_frames.size(); ++i)
        if (m_frames[i].logEnergy >= loudest - kSpeechRange)
            speech.push_back(i);
    return speech;
}

std::vector<std::size_t> VoiceprintEmbedder::voicedFrames() const
{
    std::vector<std::size_t> voiced = speechFrames();
    std::erase_if(voiced, [this](std::size_t i) { return m_frames[i].voicing < kVoicedCorrelation; });
    return voiced;
}

std::optional<VoiceprintEmbedder::Speech> VoiceprintEmbedder::speech() const
{
    const std::vector<std::size_t> speech = speechFrames();
    if (speech.empty())
        return std::nullopt;
    const auto at = [this](std::size_t frame, int offset) {
        return m_startSeconds + double(int(frame) * kHop + offset) / kRate;
    };
    const auto voiced = std::count_if(speech.begin(), speech.end(),
                                      [this](std::size_t i) { return m_frames[i].voicing >= kVoicedCorrelation; });
    return Speech{at(speech.front(), 0), at(speech.back(), kFrameLength), int(voiced)};
}

std::optional<QList<float>> VoiceprintEmbedder::finalize() const
{
    const std::vector<std::size_t> voiced = voicedFrames();
    if (voiced.size() < kLeastVoicedFrames)
        return std::nullopt;

    // Means and spreads of the cepstra, and spreads of their slopes over five frames (where the
    // utterance has two frames on either side).
    std::array<double, kCepstra> sums{}, squares{}, slopeSquares{};
    std::size_t sloped = 0;
    for (const std::size_t i : voiced) {
        const auto& cepstra = m_frames[i].cepstra;
        const bool hasSlope = i >= 2 && i + 2 < m_frames.size();
        sloped += hasSlope;
        for (std::size_t c = 0; c < kCepstra; ++c) {
            sums[c] += cepstra[c];
            squares[c] += double(cepstra[c]) * cepstra[c];
            if (hasSlope) {
                const double slope = (m_frames[i + 1].cepstra[c] - m_frames[i - 1].cepstra[c] +
                                      2 * (m_frames[i + 2].cepstra[c] - m_frames[i - 2].cepstra[c])) /
                                     10;
                slopeSquares[c] += slope * slope;
            }
        }
    }
    std::array<float, kLength> features{};
    const auto count = double(voiced.size());
    for (std::size_t c = 0; c < kCepstra; ++c) {
        const double mean = sums[c] / count;
        features[c] = float(mean);
        features[kCepstra + c] = float(std::sqrt(std::max(0.0, squares[c] / count - mean * mean)));
        features[2 * kCepstra + c] = sloped ? float(std::sqrt(slopeSquares[c] / double(sloped))) : 0.0f;
    }
    std::vector<float> pitches;
    for (const std::size_t i : voiced)
        pitches.push_back(m_frames[i].logPitch);
    features[3 * kCepstra] = quantile(pitches, 0.5);
    features[3 * kCepstra + 1] = quantile(pitches, 0.75) - quantile(pitches, 0.25);

    std::array<float, kLength> limited{};
    for (std::size_t i = 0; i < kLength; ++i)
        limited[i] = kFarthest * std::tanh((features[i] - kMean[i]) / kSpread[i] / kFarthest) - kLimitedMean[i];
    QList<float> print(kLength, 0.0f);
    std::size_t packed = 0;
    for (std::size_t i = 0; i < kLength; ++i)
        for (std::size_t j = 0; j <= i; ++j)
            print[qsizetype(i)] += kWhitening[packed++] * limited[j];
    return print;
}

void VoiceprintEmbedder::reset()
{
    m_carry.clear();
    m_frames.clear();
}
