#include "Audio/RealFft.h"

#include <fftw3.h>

#include <mutex>
#include <new>

namespace {

// FFTW's planner is not thread-safe; plans are made and destroyed under this lock, while
// running a plan needs none.
std::mutex& plannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

fftwf_complex* asFftw(std::complex<float>* values)
{
    return reinterpret_cast<fftwf_complex*>(values);
}

}  // namespace

RealFft::RealFft(int size) : m_size(size)
{
    std::lock_guard lock(plannerMutex());
    m_samples = fftwf_alloc_real(std::size_t(size));
    m_spectrum = reinterpret_cast<std::complex<float>*>(fftwf_alloc_complex(std::size_t(size / 2 + 1)));
    if (m_samples && m_spectrum) {
        m_forward = fftwf_plan_dft_r2c_1d(size, m_samples, asFftw(m_spectrum), FFTW_ESTIMATE);
        m_inverse = fftwf_plan_dft_c2r_1d(size, asFftw(m_spectrum), m_samples, FFTW_ESTIMATE);
    }
    if (!m_forward || !m_inverse) {
        release();
        throw std::bad_alloc();
    }
}

RealFft::~RealFft()
{
    std::lock_guard lock(plannerMutex());
    release();
}

void RealFft::release()
{
    if (m_forward)
        fftwf_destroy_plan(m_forward);
    if (m_inverse)
        fftwf_destroy_plan(m_inverse);
    fftwf_free(m_spectrum);
    fftwf_free(m_samples);
}

void RealFft::forward()
{
    fftwf_execute(m_forward);
}

void RealFft::inverse()
{
    fftwf_execute(m_inverse);
}
