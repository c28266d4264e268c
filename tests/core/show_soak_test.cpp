#include <gtest/gtest.h>

#include "show_soak.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

// Six hours of a playing 256-scene show in simulated time (bench/soak runs a day).
// AddressSanitizer holds freed memory back on purpose: there its leak check at exit
// stands in for the resident memory.
TEST(ShowSoak, HoursOfPlayCountAsTheTempoPredictsAndKeepTheirMemory)
{
    tavrelia::Console console;
    tavrelia::soak::ShowSoak soak(console);
    const tavrelia::soak::Result result = soak.run(tavrelia::soak::kTicksPerDay / 4);
    std::string report(1024, '\0');
    if (std::FILE* out = fmemopen(report.data(), report.size(), "w")) {
        result.print(out);
        std::fclose(out);
    }
    EXPECT_TRUE(result.countsAsPredicted()) << report;
    EXPECT_TRUE(kAddressSanitizer || result.memoryKept()) << report;
    EXPECT_EQ(result.predictedAdvances, 6 * 3600 * 1000 / (13 * 13));
}

}  // namespace
