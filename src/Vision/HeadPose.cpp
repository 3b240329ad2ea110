#include "Vision/HeadPose.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace HeadPose {

namespace {

// Where the eyes sit, as a share of the box height, in a face looking straight ahead, and
// how strongly a shift from there reads as tilt.
constexpr double neutralEyeRow = 0.385;
constexpr double pitchGain = 2.0;
// A turn by yaw y narrows the far half against the near half by about exp(-y / yawGain).
constexpr double yawGain = 0.9;
// The axis is searched within this many columns of the middle.
constexpr int axisRange = 3;
// How far from the axis the halves are compared, in columns of a face that does not turn.
constexpr double halfReach = 20.0;
// The forehead and chin carry hair and collar, not the face: rows from the eyes to the mouth.
constexpr int firstRow = patchSize / 5;
constexpr int lastRow = patchSize * 17 / 20;
constexpr double maxLogScale = 0.5;
constexpr double logScaleStep = 0.02;
constexpr double maxRoll = 0.35;
constexpr double rollStep = 0.05;
// A score this far below the best counts a third as much as the best (see weightedBest).
constexpr double scoreSpread = 0.02;

// Where one half is read, relative to the axis: columns and the weight of the next column.
struct Samples {
    std::vector<int> column;
    std::vector<float> fraction;
};

cv::Mat edgesOf(const cv::Mat& patch)
{
    cv::Mat gx, gy, edges;
    cv::Sobel(patch, gx, CV_32F, 1, 0, 3);
    cv::Sobel(patch, gy, CV_32F, 0, 1, 3);
    cv::magnitude(gx, gy, edges);
    return edges;
}

// How well the left half of `edges`, mirrored about `axis`, matches the right half stretched
// by exp(logScale): their correlation over the rows from the eyes to the mouth. Both halves
// are compared over the same share of their own width, the squeezed one over fewer columns.
class MirrorMatch {
public:
    explicit MirrorMatch(double logScale)
    {
        const double scale = std::exp(logScale);
        const double step = 1.0 / std::sqrt(scale);
        for (double u = step; u <= halfReach * step; u += step) {
            add(m_left, -u);
            add(m_right, scale * u);
        }
    }

    double score(const cv::Mat& edges, int axis) const
    {
        if (axis + m_left.column.back() < 0 || axis + m_right.column.back() + 1 >= edges.cols)
            return -1.0;
        double sumL = 0, sumR = 0, sumLL = 0, sumRR = 0, sumLR = 0;
        const std::size_t count = m_left.column.size();
        for (int y = firstRow; y < lastRow; ++y) {
            const float* row = edges.ptr<float>(y) + axis;
            for (std::size_t i = 0; i < count; ++i) {
                const float* l = row + m_left.column[i];
                const float* r = row + m_right.column[i];
                const double left = l[0] + m_left.fraction[i] * (l[1] - l[0]);
                const double right = r[0] + m_right.fraction[i] * (r[1] - r[0]);
                sumL += left;
                sumR += right;
                sumLL += left * left;
                sumRR += right * right;
                sumLR += left * right;
            }
        }
        const double n = double(count) * (lastRow - firstRow);
        const double meanL = sumL / n, meanR = sumR / n;
        const double variance = (sumLL / n - meanL * meanL) * (sumRR / n - meanR * meanR);
        return (sumLR / n - meanL * meanR) / std::sqrt(variance + 1e-9);
    }

    // The best score over the axes within axisRange of `middle`.
    double bestScore(const cv::Mat& edges, int middle) const
    {
        double best = -1.0;
        for (int axis = middle - axisRange; axis <= middle + axisRange; ++axis)
            best = std::max(best, score(edges, axis));
        return best;
    }

private:
    static void add(Samples& samples, double offset)
    {
        const double column = std::floor(offset);
        samples.column.push_back(int(column));
        samples.fraction.push_back(float(offset - column));
    }

    Samples m_left;
    Samples m_right;
};

// A face matches itself about equally well over a range of candidates, and which of them wins
// by a hair flips with noise; the average of the good ones, weighted by how good, does not.
double weightedBest(const std::vector<double>& candidates, const std::vector<double>& scores)
{
    const double best = *std::max_element(scores.begin(), scores.end());
    double weightSum = 0.0, weighted = 0.0;
    for (std::size_t i = 0; i < scores.size(); ++i) {
        const double weight = std::exp((scores[i] - best) / scoreSpread);
        weightSum += weight;
        weighted += weight * candidates[i];
    }
    return weighted / weightSum;
}

}  // namespace

double pitchFromEyeRow(double row)
{
    return pitchGain * (row - neutralEyeRow);
}

cv::Mat uprightPatch(const cv::Mat& gray, const cv::Rect2d& face, double roll, int side)
{
    // Maps patch coordinates to picture coordinates: about the box centre, scaled and turned
    // by the roll, so the eyes of the patch lie level.
    const double scale = face.width / side;
    const double c = std::cos(roll) * scale;
    const double s = std::sin(roll) * scale;
    const double half = side / 2.0;
    const double cx = face.x + face.width / 2.0;
    const double cy = face.y + face.height / 2.0;
    const cv::Matx23d toPicture(c, -s, cx - c * half + s * half, s, c, cy - s * half - c * half);
    cv::Mat patch;
    cv::warpAffine(gray, patch, toPicture, cv::Size(side, side), cv::INTER_LINEAR | cv::WARP_INVERSE_MAP,
                   cv::BORDER_REPLICATE);
    return patch;
}

double rollFromSymmetry(const cv::Mat& gray, const cv::Rect2d& face)
{
    const MirrorMatch unscaled(0.0);
    std::vector<double> rolls, scores;
    for (double roll = -maxRoll; roll <= maxRoll + 1e-9; roll += rollStep) {
        rolls.push_back(roll);
        scores.push_back(unscaled.bestScore(edgesOf(uprightPatch(gray, face, roll)), patchSize / 2));
    }
    return weightedBest(rolls, scores);
}

double yawFromSymmetry(const cv::Mat& patch)
{
    const cv::Mat edges = edgesOf(patch);
    std::vector<double> logScales, scores;
    for (double logScale = -maxLogScale; logScale <= maxLogScale + 1e-9; logScale += logScaleStep) {
        logScales.push_back(logScale);
        scores.push_back(MirrorMatch(logScale).bestScore(edges, patchSize / 2));
    }
    // The right half narrower (scale below 1) means the face turned towards +x.
    return -yawGain * weightedBest(logScales, scores);
}

}  // namespace HeadPose
