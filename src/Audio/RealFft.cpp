#include "Audio/RealFft.h"

#include "Support/LateLibrary.h"

#include <fftw3.h>

#include <mutex>
#include <new>
#include <stdexcept>

namespace {

// FFTW's functions, from its library, opened when the first transform is made.
struct Fftw {
    decltype(fftwf_alloc_real)* allocReal;
    decltype(fftwf_alloc_complex)* allocComplex;
    decltype(fftwf_free)* free;
    decltype(fftwf_plan_dft_r2c_1d)* planForward;
    decltype(fftwf_plan_dft_c2r_1d)* planInverse;
    decltype(fftwf_execute)* execute;
    decltype(fftwf_destroy_plan)* destroyPlan;
    QString error;  // empty when every function was found
};

const Fftw& fftw()
{
    static const Fftw api = [] {
        LateLibrary library(QStringLiteral("fftw3f"), 3);
        Fftw found{library.function<decltype(fftwf_alloc_real)>("fftwf_alloc_real"),
                   library.function<decltype(fftwf_alloc_complex)>("fftwf_alloc_complex"),
                   library.function<decltype(fftwf_free)>("fftwf_free"),
                   library.function<decltype(fftwf_plan_dft_r2c_1d)>("fftwf_plan_dft_r2c_1d"),
                   library.function<decltype(fftwf_plan_dft_c2r_1d)>("fftwf_plan_dft_c2r_1d"),
                   library.function<decltype(fftwf_execute)>("fftwf_execute"),
                   library.function<decltype(fftwf_destroy_plan)>("fftwf_destroy_plan"),
                   library.error()};
        return found;
    }();
    return api;
}

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

const QString& RealFft::loadError()
{
    return fftw().error;
}

RealFft::RealFft(int size) : m_size(size)
{
    const Fftw& api = fftw();
    if (!api.error.isEmpty())
        throw std::runtime_error("FFTW cannot be loaded: " + api.error.toStdString());
    std::lock_guard lock(plannerMutex());
    m_samples = api.allocReal(std::size_t(size));
    m_spectrum = reinterpret_cast<std::complex<float>*>(api.allocComplex(std::size_t(size / 2 + 1)));
    if (m_samples && m_spectrum) {
        m_forward = api.planForward(size, m_samples, asFftw(m_spectrum), FFTW_ESTIMATE);
        m_inverse = api.planInverse(size, asFftw(m_spectrum), m_samples, FFTW_ESTIMATE);
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
    // Only reached once the library was loaded.
    if (m_forward)
        fftw().destroyPlan(m_forward);
    if (m_inverse)
        fftw().destroyPlan(m_inverse);
    fftw().free(m_spectrum);
    fftw().free(m_samples);
}

void RealFft::forward()
{
    fftw().execute(m_forward);
}

void RealFft::inverse()
{
    fftw().execute(m_inverse);
}
