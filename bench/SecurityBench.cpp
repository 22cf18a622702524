// Key derivation against the same SHA-256 chain in libcrypto, and the login
// tag. Prints derive_key_vs_openssl_ratio=<x> (ours / libcrypto).
//
// Default: both sides use the best code for the CPU, the SHA extensions
// where present.
// --engine=portable|portable-bmi2: that compression of ours against libcrypto
// with its SHA extension code switched off (the program restarts itself with
// OPENSSL_ia32cap set, which libcrypto reads at load time).
#include "security/AES128.h"
#include "security/Cmac.h"
#include "security/PasswordKey.h"
#include "security/Sha256Engine.h"

#include <benchmark/benchmark.h>
// The low-level SHA-256 calls run the compression with the least overhead of
// all libcrypto interfaces (the one-shot SHA256() fetches an algorithm per
// call), so the comparison is the strictest one.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace qozel;

constexpr const char* kOpenSslWithoutShaExtensions = "~0x0:~0x20000000";

void BM_DeriveKey(benchmark::State& state)
{
    PasswordField password;
    std::memcpy(password.data(), "haslo-administratora", 20);
    for (auto _ : state) {
        Key16 key = DeriveKey(kAdminUser, password);
        benchmark::DoNotOptimize(key.data());
        password[0] = key[0];   // a new input each time
    }
}

void BM_OpenSslChain(benchmark::State& state)
{
    std::uint8_t buffer[32] = "admin";
    std::memcpy(buffer + 12, "haslo-administratora", 20);
    for (auto _ : state) {
        std::uint8_t chain[32];
        std::memcpy(chain, buffer, 32);
        SHA256_CTX ctx;
        for (int i = 0; i < kDeriveKeyRounds; ++i) {
            SHA256_Init(&ctx);
            SHA256_Update(&ctx, chain, sizeof chain);
            SHA256_Final(chain, &ctx);
        }
        benchmark::DoNotOptimize(chain);
        buffer[12] = chain[0];
    }
}

void BM_CmacLoginMessage(benchmark::State& state)
{
    std::uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::uint8_t message[28] = "admin";
    std::uint8_t tag[16];
    for (auto _ : state) {
        AES128 aes;
        aes.SetKey(key);
        Cmac mac(aes);
        mac.Init();
        mac.Update(message, sizeof message);
        mac.Final(tag);
        benchmark::DoNotOptimize(tag);
        message[12] = tag[0];
    }
}

BENCHMARK(BM_DeriveKey)->Unit(benchmark::kMillisecond)->MinTime(0.1);
BENCHMARK(BM_OpenSslChain)->Unit(benchmark::kMillisecond)->MinTime(0.1);
BENCHMARK(BM_CmacLoginMessage)->Unit(benchmark::kNanosecond)->MinTime(0.05);

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// The ratio itself comes from the two computations run alternately, taking
// the best thread CPU time of each: other load on a shared machine then
// falls on both sides alike and is filtered out.
double InterleavedRatio(int samples)
{
    PasswordField password;
    std::memcpy(password.data(), "haslo-administratora", 20);
    double ours = 1e9, theirs = 1e9;
    for (int i = 0; i < samples; ++i) {
        double start = ThreadCpuSeconds();
        Key16 key = DeriveKey(kAdminUser, password);
        benchmark::DoNotOptimize(key.data());
        ours = std::min(ours, ThreadCpuSeconds() - start);

        std::uint8_t chain[32] = "admin";
        std::memcpy(chain + 12, password.data(), 20);
        start = ThreadCpuSeconds();
        SHA256_CTX ctx;
        for (int r = 0; r < kDeriveKeyRounds; ++r) {
            SHA256_Init(&ctx);
            SHA256_Update(&ctx, chain, sizeof chain);
            SHA256_Final(chain, &ctx);
        }
        benchmark::DoNotOptimize(chain);
        theirs = std::min(theirs, ThreadCpuSeconds() - start);
        if (std::memcmp(chain, key.data(), 16) != 0) {
            std::fprintf(stderr, "DeriveKey disagrees with the libcrypto chain\n");
            std::exit(1);
        }
    }
    std::printf("derive_key_ms=%.3f openssl_chain_ms=%.3f (best of %d, interleaved)\n", ours * 1e3, theirs * 1e3,
                samples);
    return ours / theirs;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args(argv, argv + argc);
    const auto flag = std::find_if(args.begin(), args.end(), [](const char* a) { return std::strncmp(a, "--engine=", 9) == 0; });
    bool portable = false;
    if (flag != args.end()) {
        const auto engine = std::find_if(std::begin(kAllSha256Engines), std::end(kAllSha256Engines),
                                         [&](Sha256Engine e) { return std::strcmp(*flag + 9, Sha256EngineName(e)) == 0; });
        if (engine == std::end(kAllSha256Engines) || !SelectSha256Engine(*engine)) {
            std::fprintf(stderr, "unknown or unavailable engine: %s\n", *flag + 9);
            return 2;
        }
        portable = *engine != Sha256Engine::ShaExtensions;
        args.erase(flag);
    }
    if (portable && std::getenv("OPENSSL_ia32cap") == nullptr) {
        setenv("OPENSSL_ia32cap", kOpenSslWithoutShaExtensions, 1);
        execv("/proc/self/exe", argv);
        std::perror("execv");
        return 1;
    }
    args.push_back(nullptr);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("sha256_engine=%s openssl_ia32cap=%s\n", Sha256EngineName(ActiveSha256Engine()),
                std::getenv("OPENSSL_ia32cap") ? std::getenv("OPENSSL_ia32cap") : "default");
    std::printf("derive_key_vs_openssl_ratio=%.3f\n", InterleavedRatio(portable ? 25 : 60));
    return 0;
}
