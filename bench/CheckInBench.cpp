// Check-in and fetch of large files through the access object, against the
// scripted server on loopback:
//   - CheckInAAF of a 256 MiB file (MB/s of file bytes), read and encoded as
//     it is sent, against writing the very bytes of that request to the same
//     server through a plain socket and reading its answer (the limit of the
//     machine and the server), against the earlier way of sending it (the file
//     read whole into fresh memory, then encoded by the runtime's
//     soap_putbase64 as the runtime sends the same bytes), and against the same
//     request sent by the SOAP layer alone from bytes already in memory. The
//     ratios of the medians are printed at the end;
//   - GetLatest of a 256 MiB version (MB/s of file bytes), the file decoded
//     into the local folder as it arrives, against the way of fetching before
//     it (the SOAP layer reads the whole file into memory, which is then
//     written to the same folder), and against a plain socket that sends the
//     same request and receives the response's bytes;
//   - the peak resident memory of that check-in and of a GetLatest that
//     fetches 256 MiB, each measured in a child process forked for it at the
//     start: the high-water mark of the child's resident set after the call,
//     less the resident set just before it. Each is measured twice: in a cold
//     process, and in a warm one that made a small call of the same kind first
//     (the component's code and the runtime's state then already in memory).
//     The fetch is measured the earlier way too, cold.
// The 256 MiB files live under a temporary drive root that goes at the end.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AssetsBenchSupport.h"
#include "AssetsPortBinding.h"
#include "BenchRatio.h"
#include "CZuInterplayAccess.h"
#include "CZuLocalFileCache.h"
#include "IZuInterplayConnection.h"
#include "KoDebugCapture.h"
#include "KoWindows.h"
#include "ScriptedServer.h"
#include "TempDir.h"
#include "ZuAssetsNamespaces.h"
#include "ZuTexts.h"

namespace {

const size_t kFileBytes = size_t(256) << 20;
const wchar_t kClipPath[] = L"C:\\bench\\clip.aaf";
const wchar_t kSmallClipPath[] = L"C:\\bench\\small.aaf";
const size_t kSmallFileBytes = 4096;
const wchar_t kDestination[] = L"interplay://WG/Bench/clip";
// 32 bytes, then the file's name.
const wchar_t kLatestURI[] = L"interplay://WG/Projects/Assets/xlatest";
const wchar_t kSmallLatestURI[] = L"interplay://WG/Projects/Assets/xsmall";
// The earlier way writes here, in the same folder.
const char kInMemoryName[] = "inmemory.aaf";

std::string FileBytes() {
    std::string bytes(kFileBytes, '\0');
    uint32_t x = 0x9E3779B9;
    for (size_t i = 0; i < bytes.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(x >> 24);
    }
    return bytes;
}

std::string Base64(const std::string& bytes) {
    struct soap* context = soap_new();
    const char* text = soap_s2base64(context, reinterpret_cast<const unsigned char*>(bytes.data()), nullptr,
                                     static_cast<int>(bytes.size()));
    std::string result = text ? text : "";
    soap_end(context);
    soap_free(context);
    return result;
}

IZuInterplayAccess* NewAccess(const std::string& url) {
    HRESULT hr = S_OK;
    CKoUnknown* object = CreateAccessObject(nullptr, &hr);
    IZuInterplayAccess* access = nullptr;
    if (!object) return nullptr;
    object->NonDelegatingQueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
    std::wstring wide(url.begin(), url.end());
    access->SetServiceURL(wide.c_str());
    access->SetCredentials(L"editor", L"secret");
    return access;
}

// The drive root, a temporary folder; made before anything else, so that the
// memory probes (below) see it too.
ScopedKoRoots& Roots() {
    static ScopedKoRoots* roots = new ScopedKoRoots;
    return *roots;
}

// Everything the runs share, made once.
struct Fixture {
    ScriptedServer checkInServer;
    ScriptedServer latestServer;
    std::string request;       // the component's check-in request, byte for byte
    std::string latestRequest; // a GetLatest request to the fetch server
    std::string fileBytes;
    ScriptedServer::Reply smallLatest;

    Fixture() {
        std::filesystem::path drive = Roots().drives().path();
        std::filesystem::create_directories(drive / "c/bench");
        std::filesystem::create_directories(drive / "c/Kestrava/ConvertFile");
        fileBytes = FileBytes();
        const std::string& bytes = fileBytes;
        std::ofstream(drive / "c/bench/clip.aaf", std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::ofstream(drive / "c/bench/small.aaf", std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(kSmallFileBytes));
        smallLatest = ScriptedServer::Reply::http(benchsupport::Envelope(
            "<types:GetLatestResponse><types:File>" + Base64(bytes.substr(0, kSmallFileBytes)) +
            "</types:File></types:GetLatestResponse>"));

        checkInServer.setRecording(false);
        checkInServer.setDefaultReply(ScriptedServer::Reply::http(benchsupport::Envelope(
            "<types:CheckInAAFResponse><types:InterplayURI>interplay://WG/Bench/clip.1</types:InterplayURI>"
            "</types:CheckInAAFResponse>")));
        latestServer.setRecording(false);
        latestServer.setDefaultReply(ScriptedServer::Reply::http(
            benchsupport::Envelope("<types:GetLatestResponse><types:File>" + Base64(bytes) +
                                   "</types:File></types:GetLatestResponse>")));
        request = CaptureCheckInRequest();
        latestRequest = LatestRequest();
    }

    // A GetLatest request as the component sends it, addressed to the fetch
    // server.
    std::string LatestRequest() const {
        std::string body = benchsupport::Envelope(
            "<types:GetLatest><types:InterplayURI>interplay://WG/Projects/Assets/xlatest</types:InterplayURI>"
            "</types:GetLatest>");
        return "POST /services/Assets HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(latestServer.port()) +
               "\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\nSOAPAction: \"\"\r\n\r\n" + body;
    }

    // What the component sends, taken from a recording server and addressed
    // to the check-in server.
    std::string CaptureCheckInRequest() {
        std::string raw;
        {
            ScriptedServer recorder;
            recorder.setDefaultReply(
                ScriptedServer::Reply::http(benchsupport::Envelope("<types:CheckInAAFResponse/>")));
            IZuInterplayAccess* access = NewAccess(recorder.url());
            HRESULT hr = access->CheckInAAF(kClipPath, kDestination, nullptr, nullptr);
            access->Release();
            recorder.waitForConnections(1);
            std::vector<ScriptedServer::Request> requests = recorder.requests();
            if (hr != S_OK || requests.size() != 1) return std::string();
            raw = std::move(requests[0].raw);
            std::string from = "Host: 127.0.0.1:" + std::to_string(recorder.port()) + "\r\n";
            std::string to = "Host: 127.0.0.1:" + std::to_string(checkInServer.port()) + "\r\n";
            size_t at = raw.find(from);
            if (at != std::string::npos) raw.replace(at, from.size(), to);
        }
        return raw;
    }
};

Fixture& Shared() {
    static Fixture* fixture = new Fixture;
    return *fixture;
}

// Sends bytes to 127.0.0.1:port and reads the answer to its end; the bytes
// of the answer, or -1.
long long Exchange(uint16_t port, const std::string& bytes) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    long long received = 0;
    char buffer[65536];
    ssize_t n;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) received += n;
    ::close(fd);
    return sent == bytes.size() && received > 0 ? received : -1;
}

void CheckInAAF_Component(benchmark::State& state) {
    Fixture& fixture = Shared();
    IZuInterplayAccess* access = NewAccess(fixture.checkInServer.url());
    for (auto _ : state) {
        if (access->CheckInAAF(kClipPath, kDestination, nullptr, nullptr) != S_OK) {
            state.SkipWithError("CheckInAAF failed");
            break;
        }
    }
    access->Release();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}
BENCHMARK(CheckInAAF_Component)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same request through the SOAP layer alone, the file already in memory:
// what the runtime's encoding costs.
void CheckInAAF_Binding(benchmark::State& state) {
    Fixture& fixture = Shared();
    std::string url = fixture.checkInServer.url();
    for (auto _ : state) {
        AssetsPortBinding binding;
        binding.endpoint = url.c_str();
        binding.SetCredentials("editor", "secret");
        ZuAssets::types__CheckInAAFType request;
        request.InterplayURI = "interplay://WG/Bench/clip";
        request.AAF.__ptr = reinterpret_cast<unsigned char*>(&fixture.fileBytes[0]);
        request.AAF.__size = static_cast<int>(kFileBytes);
        ZuAssets::types__CheckInAAFResponseType response;
        if (binding.__assets__CheckInAAF(&request, &response) != SOAP_OK) {
            state.SkipWithError("CheckInAAF failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}
BENCHMARK(CheckInAAF_Binding)->Unit(benchmark::kMillisecond)->UseRealTime();

// The earlier way of a check-in, kept to compare with: the file read whole
// into fresh memory, then the request's bytes (those the component sends)
// written by the runtime, which encodes the file with soap_putbase64 and
// announces the length its counting pass found without encoding. With held,
// the file's bytes already in memory: the runtime's encoder alone.
bool SendAsBefore(const std::string& url, const std::string& request, const unsigned char* held = nullptr) {
    size_t bodyAt = request.find("\r\n\r\n");
    size_t textAt = request.find("<types:AAF>"), textEnd = request.find("</types:AAF>");
    if (bodyAt == std::string::npos || textAt == std::string::npos || textEnd == std::string::npos)
        return false;
    textAt += sizeof "<types:AAF>" - 1;
    const std::string before = request.substr(bodyAt + 4, textAt - bodyAt - 4),
                      after = request.substr(textEnd);
    std::unique_ptr<unsigned char[]> bytes;
    if (!held) {
        std::filesystem::path path = std::filesystem::path(Roots().drives().path()) / "c/bench/clip.aaf";
        FILE* file = fopen(path.c_str(), "rb");
        if (!file) return false;
        bytes.reset(new unsigned char[kFileBytes]);
        bool read = fread(bytes.get(), 1, kFileBytes, file) == kFileBytes;
        fclose(file);
        if (!read) return false;
        held = bytes.get();
    }
    struct soap* soap = soap_new1(SOAP_XML_TREE);
    soap->socket_flags = MSG_NOSIGNAL;
    soap_begin_count(soap);
    soap->count = before.size() + (kFileBytes + 2) / 3 * 4 + after.size();
    bool ok = !soap_end_count(soap) && !soap_connect(soap, url.c_str(), "") &&
              !soap_send_raw(soap, before.data(), before.size()) &&
              !soap_putbase64(soap, held, static_cast<int>(kFileBytes)) &&
              !soap_send_raw(soap, after.data(), after.size()) && !soap_end_send(soap) &&
              !soap_begin_recv(soap) && soap->status == 200;
    soap_closesock(soap);
    soap_end(soap);
    soap_free(soap);
    return ok;
}

void CheckInAAF_Before(benchmark::State& state) {
    Fixture& fixture = Shared();
    std::string url = fixture.checkInServer.url();
    for (auto _ : state) {
        if (!SendAsBefore(url, fixture.request)) {
            state.SkipWithError("the earlier way failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}
BENCHMARK(CheckInAAF_Before)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the bytes already in memory: the runtime's encoder, to set
// against CheckInAAF_Binding (the component's encoder, bytes in memory).
void CheckInAAF_RuntimeEncoder(benchmark::State& state) {
    Fixture& fixture = Shared();
    std::string url = fixture.checkInServer.url();
    const unsigned char* held = reinterpret_cast<const unsigned char*>(fixture.fileBytes.data());
    for (auto _ : state) {
        if (!SendAsBefore(url, fixture.request, held)) {
            state.SkipWithError("the runtime's encoder failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}
BENCHMARK(CheckInAAF_RuntimeEncoder)->Unit(benchmark::kMillisecond)->UseRealTime();

void CheckInAAF_PlainSocket(benchmark::State& state) {
    Fixture& fixture = Shared();
    if (fixture.request.empty()) state.SkipWithError("no request captured");
    for (auto _ : state) {
        if (Exchange(fixture.checkInServer.port(), fixture.request) < 0) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}
BENCHMARK(CheckInAAF_PlainSocket)->Unit(benchmark::kMillisecond)->UseRealTime();

// A fetch of 256 MiB needs a response limit above the default (the base64
// text counts); none here.
void AllowLargeResponses(IZuInterplayAccess* access) {
    IZuInterplayConnection* connection = nullptr;
    if (access->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&connection)) != S_OK)
        return;
    connection->SetResponseLimit(0);
    connection->Release();
}

bool FetchLatest(IZuInterplayAccess* access) {
    AllowLargeResponses(access);
    const wchar_t* path = nullptr;
    return access->GetLatest(kLatestURI, &path) == S_OK && path;
}

// The earlier way of fetching, for comparison: the SOAP layer reads the whole
// file into memory, which is then written to the local folder.
bool FetchLatestInMemory(const std::string& url) {
    AssetsPortBinding binding;
    binding.endpoint = url.c_str();
    binding.SetCredentials("editor", "secret");
    binding.SetResponseLimit(0);
    ZuAssets::types__GetLatestType request;
    request.InterplayURI = "interplay://WG/Projects/Assets/xlatest";
    ZuAssets::types__GetLatestResponseType response;
    if (binding.__assets__GetLatest(&request, &response) != SOAP_OK || !response.File ||
        response.File->__size <= 0)
        return false;
    return CZuLocalFileCache::Write(ZU_TEXT_VERSION_FOLDER, kInMemoryName, response.File->__ptr,
                                    static_cast<size_t>(response.File->__size)) == ERROR_SUCCESS;
}

void GetLatest_Component(benchmark::State& state) {
    Fixture& fixture = Shared();
    IZuInterplayAccess* access = NewAccess(fixture.latestServer.url());
    for (auto _ : state) {
        if (!FetchLatest(access)) {
            state.SkipWithError("GetLatest failed");
            break;
        }
    }
    access->Release();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}
BENCHMARK(GetLatest_Component)->Unit(benchmark::kMillisecond)->UseRealTime();

void GetLatest_InMemory(benchmark::State& state) {
    Fixture& fixture = Shared();
    std::string url = fixture.latestServer.url();
    for (auto _ : state) {
        if (!FetchLatestInMemory(url)) {
            state.SkipWithError("GetLatest failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}
BENCHMARK(GetLatest_InMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void GetLatest_PlainSocket(benchmark::State& state) {
    Fixture& fixture = Shared();
    for (auto _ : state) {
        if (Exchange(fixture.latestServer.port(), fixture.latestRequest) <
            static_cast<long long>(kFileBytes / 3 * 4)) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}
BENCHMARK(GetLatest_PlainSocket)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak resident memory of one call, measured in a child process of its own.
// The child is forked at the start, while the process is small and has no
// other thread; it waits for the port of the server to call, makes its access
// object, and measures the call alone.
struct PeakMemory {
    bool ok = false;
    bool warm = false;              // after a small call of the same operation
    long long kibibytes = -1;       // VmHWM after the call less VmRSS before it
    long long maxrssKibibytes = -1; // ru_maxrss after the call less before it
};

long long StatusKiB(const char* field) {
    FILE* status = fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long long value = -1;
    size_t length = strlen(field);
    while (fgets(line, sizeof line, status))
        if (strncmp(line, field, length) == 0) value = atoll(line + length);
    fclose(status);
    return value;
}

long long MaxRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class MemoryProbe {
public:
    using Call = bool (*)(IZuInterplayAccess*);

    // warmUp, when given, runs a small call of the same kind before the
    // baseline: the component's code and the runtime's own state are then in
    // memory already, as in a host that has talked to the server before.
    MemoryProbe(Call call, Call warmUp) {
        int go[2], back[2];
        if (pipe(go) != 0) return;
        if (pipe(back) != 0) {
            ::close(go[0]);
            ::close(go[1]);
            return;
        }
        m_child = fork();
        if (m_child == 0) {
            ::close(go[1]);
            ::close(back[0]);
            uint16_t port = 0;
            if (::read(go[0], &port, sizeof port) != sizeof port) _exit(1);
            PeakMemory measured = Measure(port, call, warmUp);
            _exit(::write(back[1], &measured, sizeof measured) == sizeof measured ? 0 : 1);
        }
        ::close(go[0]);
        ::close(back[1]);
        m_go = go[1];
        m_back = back[0];
    }

    // Lets the child call the server at port and gives what it measured.
    PeakMemory Run(uint16_t port) {
        PeakMemory result;
        if (m_child <= 0) return result;
        if (::write(m_go, &port, sizeof port) != sizeof port ||
            ::read(m_back, &result, sizeof result) != sizeof result)
            result = PeakMemory();
        ::close(m_go);
        ::close(m_back);
        waitpid(m_child, nullptr, 0);
        m_child = -1;
        return result;
    }

private:
    static PeakMemory Measure(uint16_t port, Call call, Call warmUp) {
        s_port = port;
        PeakMemory measured;
        IZuInterplayAccess* access =
            NewAccess("http://127.0.0.1:" + std::to_string(port) + "/services/Assets");
        if (!access) return measured;
        measured.warm = warmUp != nullptr;
        if (warmUp && !warmUp(access)) return measured;
        // Start the high-water mark afresh at the present resident set.
        int clear = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
        bool reset = clear >= 0 && ::write(clear, "5", 1) == 1;
        if (clear >= 0) ::close(clear);
        long long baseline = StatusKiB(reset ? "VmRSS:" : "VmHWM:");
        long long maxrssBefore = MaxRssKiB();
        measured.ok = call(access);
        measured.kibibytes = StatusKiB("VmHWM:") - baseline;
        measured.maxrssKibibytes = MaxRssKiB() - maxrssBefore;
        return measured;
    }

public:
    // The port of the server the child calls.
    static uint16_t s_port;

private:
    pid_t m_child = -1;
    int m_go = -1;
    int m_back = -1;
};

uint16_t MemoryProbe::s_port = 0;

bool FetchLatestInMemoryProbe(IZuInterplayAccess*) {
    return FetchLatestInMemory("http://127.0.0.1:" + std::to_string(MemoryProbe::s_port) +
                               "/services/Assets");
}

bool CheckInClip(IZuInterplayAccess* access) {
    return access->CheckInAAF(kClipPath, kDestination, nullptr, nullptr) == S_OK;
}

// The small calls before a warm measurement: a file of 4 KiB each way (the
// server answers the first GetLatest of a warm probe with one).
bool CheckInSmallClip(IZuInterplayAccess* access) {
    return access->CheckInAAF(kSmallClipPath, kDestination, nullptr, nullptr) == S_OK;
}

bool FetchSmallLatest(IZuInterplayAccess* access) {
    const wchar_t* path = nullptr;
    return access->GetLatest(kSmallLatestURI, &path) == S_OK && path;
}

void PrintMemory(const char* what, const PeakMemory& peak, double limitMiB) {
    if (!peak.ok) {
        printf("%s: the call failed in the child\n", what);
        return;
    }
    double mib = peak.kibibytes / 1024.0;
    printf(
        "%s, %s process: peak resident memory over the baseline %.1f MiB (ru_maxrss %.1f MiB), "
        "limit %.0f MiB: %s\n",
        what, peak.warm ? "warm" : "cold", mib, peak.maxrssKibibytes / 1024.0, limitMiB,
        mib <= limitMiB ? "within" : "OVER");
}

} // namespace

int main(int argc, char** argv) {
    if (!benchsupport::InitializeBenchmarks(argc, argv)) return 1;

    Roots();
    MemoryProbe checkInCold(&CheckInClip, nullptr), checkInWarm(&CheckInClip, &CheckInSmallClip);
    MemoryProbe latestCold(&FetchLatest, nullptr), latestWarm(&FetchLatest, &FetchSmallLatest);
    MemoryProbe latestInMemoryCold(&FetchLatestInMemoryProbe, nullptr);
    Fixture& fixture = Shared();
    const uint16_t checkInPort = fixture.checkInServer.port(), latestPort = fixture.latestServer.port();
    PeakMemory checkIn[2] = {checkInCold.Run(checkInPort), checkInWarm.Run(checkInPort)};
    PeakMemory latest[2];
    const std::filesystem::path fetched =
        std::filesystem::path(Roots().drives().path()) / "c/Kestrava/ConvertFile/latest.aaf";
    for (int i = 0; i < 2; ++i) {
        if (i == 1) fixture.latestServer.enqueue(fixture.smallLatest);
        std::filesystem::remove(fetched);
        latest[i] = (i == 0 ? latestCold : latestWarm).Run(latestPort);
        std::error_code ec;
        if (std::filesystem::file_size(fetched, ec) != kFileBytes || ec) latest[i].ok = false;
    }
    PeakMemory latestInMemory = latestInMemoryCold.Run(latestPort);

    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double component = reporter.Real("CheckInAAF_Component");
    double limit = reporter.Real("CheckInAAF_PlainSocket");
    double binding = reporter.Real("CheckInAAF_Binding");
    double before = reporter.Real("CheckInAAF_Before");
    if (component > 0 && limit > 0)
        printf("CheckInAAF of 256 MiB: throughput component / plain socket = %.3f (target >= 0.6)\n",
               limit / component);
    if (component > 0 && before > 0)
        printf(
            "CheckInAAF of 256 MiB: throughput component / earlier way (read whole, runtime's encoder) = "
            "%.3f (target >= 1); component %.0f MB/s, earlier way %.0f MB/s\n",
            before / component, kFileBytes / 1e3 / component, kFileBytes / 1e3 / before);
    if (binding > 0 && limit > 0 && component > 0)
        printf(
            "CheckInAAF of 256 MiB: throughput SOAP layer alone / plain socket = %.3f, "
            "component / SOAP layer alone = %.3f\n",
            limit / binding, binding / component);
    double runtimeEncoder = reporter.Real("CheckInAAF_RuntimeEncoder");
    if (binding > 0 && runtimeEncoder > 0)
        printf(
            "CheckInAAF of 256 MiB, bytes in memory: throughput SOAP layer alone / the runtime's "
            "soap_putbase64 = %.3f (above 1: the component's encoder is the faster)\n",
            runtimeEncoder / binding);
    double fetch = reporter.Real("GetLatest_Component");
    double fetchInMemory = reporter.Real("GetLatest_InMemory");
    double fetchLimit = reporter.Real("GetLatest_PlainSocket");
    if (fetch > 0 && fetchInMemory > 0 && fetchLimit > 0)
        printf(
            "GetLatest of 256 MiB: time component / earlier way (whole file in memory) = %.3f (target <= 1), "
            "throughput component / plain socket = %.3f, earlier way / plain socket = %.3f\n",
            fetch / fetchInMemory, fetchLimit / fetch, fetchLimit / fetchInMemory);
    const double fileMiB = kFileBytes / 1048576.0;
    for (int i = 0; i < 2; ++i) {
        PrintMemory("CheckInAAF of 256 MiB", checkIn[i], 64);
        PrintMemory("GetLatest of 256 MiB", latest[i], 64);
    }
    PrintMemory("GetLatest of 256 MiB the earlier way (whole file in memory)", latestInMemory, 2 * fileMiB);
    benchmark::Shutdown();
    delete &fixture;
    delete &Roots();
    return 0;
}
