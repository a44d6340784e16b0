#include "Demo.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Stand-ins for a composition and its headframe: what matters here is that
// the bytes come back unchanged.
std::string SampleBytes(const std::string& tag, size_t size) {
    std::string bytes = tag;
    for (size_t i = 0; bytes.size() < size; ++i) bytes.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
    return bytes;
}

class Steps {
public:
    Steps(ResultPrinter& printer) : m_printer(printer) {}
    // Prints the step; remembers a failure.
    const Result& Run(const std::string& title, const std::string& command, const Result& result) {
        m_printer.Heading(title);
        m_printer.Print(command, result);
        if (!result.ok) m_ok = false;
        m_last = result;
        return m_last;
    }
    bool ok() const { return m_ok; }

private:
    ResultPrinter& m_printer;
    Result m_last;
    bool m_ok = true;
};

} // namespace

bool RunDemo(InterplayClient& client, ResultPrinter& printer, const std::string& rootURI) {
    // A folder of the demo's own in the temporary folder (UTF-8).
    std::string work;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && work.empty(); ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("interplay-demo-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) work = candidate.u8string();
    }
    if (work.empty()) return false;
    const std::string aaf = work + "/晚间新闻.aaf";
    const std::string jpeg = work + "/晚间新闻.jpg";
    WriteFile(aaf, SampleBytes("AAF demo composition\n", 64 * 1024));
    WriteFile(jpeg, SampleBytes("\xFF\xD8\xFF\xE0 demo headframe", 8 * 1024));

    const std::string project = rootURI + "/演示项目";
    const std::string archive = project + "/归档";
    const std::string publish = project + "/发布";
    Steps steps(printer);
    printer.BeginArray();

    steps.Run("Create the project folder " + project, "mkdir", client.CreateFolder(project));
    steps.Run("Create the archive folder", "mkdir", client.CreateFolder(archive));
    steps.Run("Create the publishing folder", "mkdir", client.CreateFolder(publish));

    std::vector<AttributeSpec> attributes = {
        {"USER", "Name", "晚间新闻"},
        {"USER", "标题", "晚间新闻 第一版"},
        {"USER", "Comments", "First cut, 3 minutes"},
        {"SYSTEM", "Creator", "not sent: the server keeps its own"},
    };
    const Result& checkedIn = steps.Run("Check in an AAF composition with its headframe and attributes",
                                        "checkin-aaf", client.CheckInAAF(aaf, project, jpeg, attributes));
    std::string asset = checkedIn.ok ? checkedIn.data.value("uri", "") : "";

    steps.Run("List the project folder", "ls", client.List(project, false));
    steps.Run("Mark the asset as approved", "set-attrs",
              client.SetAttributes(asset, {{"USER", "状态", "已批准"}}));
    steps.Run("Read the asset's attributes", "attrs", client.GetAttributes(asset));

    ConditionSpec titleContains;
    ConditionSpec::Parse("USER:标题~新闻", &titleContains);
    steps.Run("Search the project for titles containing 新闻", "search",
              client.Search(project, true, 20, {titleContains}));

    steps.Run("Add two locators", "add-locators",
              client.AddLocators(asset, {{100, "片头", "Red", "V1"}, {2500, "采访开始", "Green", "A1"}}));
    const Result& locators = steps.Run("List the locators", "locators", client.GetLocators(asset));
    if (locators.ok && !locators.data.empty()) {
        int first = locators.data[0].value("id", 0);
        steps.Run("Remove the first locator", "remove-locator", client.RemoveLocator(asset, first));
        steps.Run("List the locators again", "locators", client.GetLocators(asset));
    }

    const Result& copy =
        steps.Run("Duplicate the asset into the archive", "duplicate", client.Duplicate(asset, archive));
    std::string copyURI = copy.ok ? copy.data.value("uri", "") : "";
    steps.Run("Move the copy to the publishing folder", "move", client.Move(copyURI, publish));
    steps.Run("List the publishing folder", "ls", client.List(publish, false));

    Result latest = client.GetLatest(asset);
    if (latest.ok) latest.data["matches"] = ReadFile(latest.data.value("local", "")) == ReadFile(aaf);
    steps.Run("Fetch the latest version as a local AAF file", "latest", latest);
    Result headframe = client.GetHeadframe(asset);
    if (headframe.ok)
        headframe.data["matches"] = ReadFile(headframe.data.value("local", "")) == ReadFile(jpeg);
    steps.Run("Fetch the headframe as a local JPEG file", "headframe", headframe);

    steps.Run("Delete the copy", "delete", client.Delete({copyURI}, false, false));
    steps.Run("List the publishing folder again", "ls", client.List(publish, false));

    printer.Finish();
    std::error_code ec;
    fs::remove_all(fs::u8path(work), ec);
    bool same = latest.ok && latest.data.value("matches", false) && headframe.ok &&
                headframe.data.value("matches", false);
    return steps.ok() && same;
}
