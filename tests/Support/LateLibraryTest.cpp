// A library opened when first needed: a missing library or function is a clear error, never a
// crash at the first call.
#include "Support/LateLibrary.h"

#include "Common/WithoutLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

TEST(LateLibrary, FindsFunctionsOrSaysWhatIsMissing)
{
    const struct {
        const char* name;
        const char* library;
        int version;
        const char* function;
        const char* error;
    } cases[] = {
        {"a function of an installed library", "m", 6, "cos", ""},
        {"a function the library lacks", "m", 6, "no_such_function_here",
         "libm.so.6 has no function no_such_function_here"},
        // Said as such, not as a missing function, whatever is asked of it afterwards.
        {"a library that is not installed", "parlivox-no-such-library", 3, "cos",
         "libparlivox-no-such-library.so.3 is not installed"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        LateLibrary library(QString::fromLatin1(each.library), each.version);
        auto* cosine = library.function<double(double)>(each.function);
        library.function<double(double)>("sin");
        EXPECT_EQ(cosine != nullptr, *each.error == 0);
        EXPECT_EQ(library.error(), QString::fromUtf8(each.error));
        if (cosine) {
            EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
        }
    }
}

// A file under the library's name that is no library is reported with the loader's reason.
TEST(LateLibrary, SaysWhyALibraryThatIsThereCannotBeLoaded)
{
    if (!withoutLibrary(QStringLiteral("libsoxr.so.0")))
        return;
    LateLibrary library(QStringLiteral("soxr"), 0);
    EXPECT_EQ(library.function<void()>("soxr_create"), nullptr);
    EXPECT_TRUE(library.error().startsWith(QStringLiteral("libsoxr.so.0 cannot be loaded: ")))
        << library.error().toStdString();
    EXPECT_TRUE(library.error().contains(QStringLiteral("file too short"))) << library.error().toStdString();
}

// The speech engine, the event sounds, the recognizer, the capture's resampler and the
// spectra open these by their sonames; the recognizer also takes sphinxbase's functions
// through pocketsphinx, which brings it.
TEST(LateLibrary, OpensTheLibrariesTheProgramUses)
{
    for (const auto& [name, version, function] :
         {std::tuple{"espeak-ng", 1, "espeak_Initialize"}, std::tuple{"canberra", 0, "ca_context_create"},
          std::tuple{"pocketsphinx", 3, "ps_init"}, std::tuple{"pocketsphinx", 3, "cmd_ln_init"},
          std::tuple{"soxr", 0, "soxr_create"}, std::tuple{"fftw3f", 3, "fftwf_plan_dft_r2c_1d"}}) {
        SCOPED_TRACE(std::string(name) + " " + function);
        LateLibrary library(QString::fromLatin1(name), version);
        EXPECT_NE(library.function<void()>(function), nullptr);
        EXPECT_EQ(library.error(), QString());
    }
}

}  // namespace
