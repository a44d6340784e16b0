// Widening and narrowing of short strings, the way the component converts
// every argument and result. Baseline: copying the same bytes into wide
// characters with no conversion at all.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "KoCodePage.h"

namespace {

const int kStrings = 1000;

std::vector<std::string> asciiStrings() {
    std::vector<std::string> strings;
    for (int i = 0; i < kStrings; ++i)
        strings.push_back("urn:asset:" + std::to_string(100000 + i) + "/Clip " + std::to_string(i));
    return strings;
}

std::vector<std::string> gbkStrings() {
    std::vector<std::string> strings;
    for (int i = 0; i < kStrings; ++i) // "Clip 非编 <n>"
        strings.push_back("Clip \xB7\xC7\xB1\xE0 " + std::to_string(i));
    return strings;
}

void Baseline_CopyBytes(benchmark::State& state) {
    std::vector<std::string> strings = asciiStrings();
    wchar_t out[260];
    for (auto _ : state) {
        for (const std::string& s : strings) {
            size_t i = 0;
            for (; i < s.size() && i < 259; ++i) out[i] = static_cast<unsigned char>(s[i]);
            out[i] = L'\0';
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetItemsProcessed(state.iterations() * kStrings);
}
BENCHMARK(Baseline_CopyBytes);

// Widens every string into a 260-character buffer.
void Widen(benchmark::State& state, const std::vector<std::string>& strings) {
    wchar_t out[260];
    for (auto _ : state) {
        for (const std::string& s : strings)
            benchmark::DoNotOptimize(MultiByteToWideChar(CP_THREAD_ACP, 0, s.c_str(), -1, out, 260));
    }
    state.SetItemsProcessed(state.iterations() * kStrings);
}

void Widen_Ascii(benchmark::State& state) { Widen(state, asciiStrings()); }
BENCHMARK(Widen_Ascii);

void Widen_Gbk(benchmark::State& state) { Widen(state, gbkStrings()); }
BENCHMARK(Widen_Gbk);

// Narrows every string into a 260-byte buffer.
void Narrow(benchmark::State& state, const std::vector<std::wstring>& strings) {
    char out[260];
    for (auto _ : state) {
        for (const std::wstring& s : strings)
            benchmark::DoNotOptimize(
                WideCharToMultiByte(CP_THREAD_ACP, 0, s.c_str(), -1, out, 260, nullptr, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * kStrings);
}

void Narrow_Ascii(benchmark::State& state) {
    std::vector<std::wstring> strings;
    for (const std::string& s : asciiStrings()) strings.emplace_back(s.begin(), s.end());
    Narrow(state, strings);
}
BENCHMARK(Narrow_Ascii);

void Narrow_Gbk(benchmark::State& state) {
    std::vector<std::wstring> strings;
    for (int i = 0; i < kStrings; ++i) strings.push_back(L"Clip 非编 " + std::to_wstring(i));
    Narrow(state, strings);
}
BENCHMARK(Narrow_Gbk);

} // namespace

BENCHMARK_MAIN();
