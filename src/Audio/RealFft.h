#pragma once

#include <QString>

#include <complex>

struct fftwf_plan_s;

// A real transform of a fixed size with its own buffers (FFTW, single precision): forward
// from `samples()` into `spectrum()` (size / 2 + 1 unscaled coefficients), and back from
// `spectrum()` into `samples()`, scaled by `size`. The inverse consumes the spectrum. One
// thread at a time per instance; any number of instances may run at once.
class RealFft {
public:
    // Why FFTW cannot be loaded, or empty when it can. FFTW is opened when this is first
    // asked or the first transform is made.
    static const QString& loadError();

    // Throws when FFTW cannot be loaded (ask loadError() first) or has no room for the plans.
    explicit RealFft(int size);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    int size() const { return m_size; }
    float* samples() { return m_samples; }
    std::complex<float>* spectrum() { return m_spectrum; }

    void forward();
    void inverse();

private:
    void release();

    int m_size;
    float* m_samples = nullptr;
    std::complex<float>* m_spectrum = nullptr;
    fftwf_plan_s* m_forward = nullptr;
    fftwf_plan_s* m_inverse = nullptr;
};
