#pragma once
// Names parameterised test cases after their printed value, so that test lists read as what
// each case is ("DD_MM_YYYY_05_03_2024") rather than as its position: letters and digits kept,
// a sign before a number spelt "minus", every other run of characters one '_'. A name met again
// gets a number; cases are registered in a fixed order, so the names are the same on every run.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

namespace testsupport {

inline std::string readableText(const std::string& printed) {
    std::string name;
    for (size_t i = 0; i < printed.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(printed[i]);
        if (c < 0x80 && std::isalnum(c)) {
            name += char(c);
        } else if (c == '-' && i + 1 < printed.size() &&
                   std::isdigit(static_cast<unsigned char>(printed[i + 1])) &&
                   (i == 0 || !std::isalnum(static_cast<unsigned char>(printed[i - 1])))) {
            name += name.empty() || name.back() == '_' ? "minus" : "_minus";
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name.empty() ? std::string("Case") : name;
}

struct ReadableName {
    template <class P> std::string operator()(const ::testing::TestParamInfo<P>& info) const {
        static std::map<std::string, int> seen;
        std::string name = readableText(::testing::PrintToString(info.param));
        if (const int n = seen[name]++; n > 0)
            name += "_" + std::to_string(n + 1);
        return name;
    }
};

} // namespace testsupport
