// The Windows libraries as their hosts see them: read back from the built
// files, independently of the build that made them. The 32-bit MATLAB
// libraries must export only _mexFunction, import only libmx.dll,
// libmex.dll and the system's DLLs, and carry the version resource and the
// string table; the 64-bit libraries of the Wine suite the same, with their
// own export name and host. The 32-bit host's libmx.dll and libmex.dll
// export exactly what those import libraries were made from.
#include "pe_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace fpmex::test {
namespace {

struct Library {
    const char* set;
    const char* name;
    const char* description;
    const char* fileVersion;
};

constexpr Library libraries[] = {
    {"single", "plus", "Addition.", "1.0.0.4"},
    {"single", "lt", "Less than.", "1.0.0.4"},
    {"single", "prod", "Product of elements.", "1.0.0.5"},
    {"single", "ones", "Ones array.", "1.0.0.4"},
    {"single", "pi", "Extended double precision pi.", "1.0.0.4"},
    {"single", "log2", "Base 2 logarithm and dissect floating point number.", "1.0.0.4"},
    {"single", "log", "Natural logarithm.", "1.0.0.4"},
    {"single", "log10", "Base 10 logarithm.", "1.0.0.4"},
    {"single", "exp", "Exponential.", "1.0.0.4"},
    {"single", "floor", "Round towards -infinity.", "1.0.0.4"},
    {"double", "log2", "Base 2 logarithm and dissect floating point number.", "1.0.4.6"},
    {"double", "sqrt", "Square root.", "1.0.4.6"},
    {"double", "log10", "Base 10 logarithm.", "1.0.4.6"},
    {"double", "exp", "Exponential.", "1.0.4.6"},
    {"double", "round", "Round towards nearest integer.", "1.0.4.6"},
};

struct Flavour {
    const char* directory;
    const char* setFolder; // the set's folder in directory, before its name
    const char* suffix;
    std::uint16_t machine;
    const char* exportName;
    std::vector<std::string> hostLibraries;
};

// MATLAB's libraries are class methods: one folder, @single and @double in it.
const Flavour matlab32{FPMEX_WINDOWS32_DIR, "@", ".dll", 0x14C, "_mexFunction", {"libmex.dll", "libmx.dll"}};
const Flavour wine64{FPMEX_WINDOWS64_DIR, "", ".mexw64", 0x8664, "mexFunction", {"fpmexhost.dll"}};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::uint32_t word32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

// "1.0.0.5" as the two words of VS_FIXEDFILEINFO.
std::pair<std::uint32_t, std::uint32_t> versionWords(const std::string& dotted)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
    return {a << 16 | b, c << 16 | d};
}

void checkLibrary(const Flavour& flavour, const Library& library)
{
    const bool single = std::string(library.set) == "single";
    const std::string file = std::string(library.name) + flavour.suffix;
    SCOPED_TRACE(std::string(library.set) + "/" + file);
    const PeImage image = readPeImage(std::string(flavour.directory) + "/" + flavour.setFolder + library.set + "/" + file);

    EXPECT_EQ(image.machine, flavour.machine);
    EXPECT_EQ(image.exports, std::vector<std::string>{flavour.exportName});

    std::vector<std::string> hosts;
    for (const auto& [dll, functions] : image.imports) {
        const std::string name = lower(dll);
        if (std::find(flavour.hostLibraries.begin(), flavour.hostLibraries.end(), name) != flavour.hostLibraries.end()) {
            hosts.push_back(name);
            // Array functions from libmx, MEX functions from libmex; the
            // embedded host's one DLL serves both.
            const std::string prefix = name == "libmx.dll" ? "mx" : name == "libmex.dll" ? "mex" : "m";
            for (const std::string& function : functions)
                EXPECT_EQ(function.rfind(prefix, 0), 0u) << function << " from " << dll;
        } else
            EXPECT_TRUE(name == "kernel32.dll" || name == "msvcrt.dll") << "imports " << dll;
        EXPECT_FALSE(functions.empty()) << dll;
    }
    EXPECT_EQ(hosts, flavour.hostLibraries);

    const PeResource* version = nullptr;
    const PeResource* strings = nullptr;
    for (const PeResource& r : image.resources) {
        if (r.type == 16 && r.id == 1)
            version = &r;
        else if (r.type == 6)
            strings = &r;
        else
            ADD_FAILURE() << "unexpected resource type " << r.type << " id " << r.id;
    }
    ASSERT_NE(version, nullptr);
    ASSERT_NE(strings, nullptr);

    const VersionNode info = parseVersionResource(version->data);
    EXPECT_EQ(info.key, "VS_VERSION_INFO");
    ASSERT_EQ(info.bytes.size(), 52u);
    const auto fileVersion = versionWords(library.fileVersion);
    const auto productVersion = versionWords(single ? "1.0.0.2" : "1.0.4.3");
    EXPECT_EQ(word32(info.bytes, 0), 0xFEEF04BDu);
    EXPECT_EQ(word32(info.bytes, 8), fileVersion.first);
    EXPECT_EQ(word32(info.bytes, 12), fileVersion.second);
    EXPECT_EQ(word32(info.bytes, 16), productVersion.first);
    EXPECT_EQ(word32(info.bytes, 20), productVersion.second);
    EXPECT_EQ(word32(info.bytes, 28), 0u) << "file flags";
    EXPECT_EQ(word32(info.bytes, 32), 4u) << "VOS__WINDOWS32";
    EXPECT_EQ(word32(info.bytes, 36), 2u) << "VFT_DLL";

    const VersionNode* stringInfo = info.child("StringFileInfo");
    ASSERT_NE(stringInfo, nullptr);
    ASSERT_EQ(stringInfo->children.size(), 1u);
    const VersionNode& block = stringInfo->children[0];
    EXPECT_EQ(block.key, "040904b0");
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Comments", "MEX-function for MATLAB 6.0 or newer."},
        {"CompanyName", "The fpmex developers"},
        {"FileDescription", library.description},
        {"FileVersion", library.fileVersion},
        {"InternalName", library.name},
        {"LegalCopyright", "Copyright (C) 2026 the fpmex developers"},
        {"LegalTrademarks", "MATLAB is a registered trademark of The MathWorks, Inc."},
        {"OriginalFilename", file},
        {"ProductName", std::string("fpmex ") + library.set + " function set"},
        {"ProductVersion", single ? "1.0.0.2" : "1.0.4.3"},
    };
    std::vector<std::pair<std::string, std::string>> actual;
    for (const VersionNode& value : block.children)
        actual.emplace_back(value.key, value.text);
    EXPECT_EQ(actual, expected);

    const VersionNode* varInfo = info.child("VarFileInfo");
    ASSERT_NE(varInfo, nullptr);
    const VersionNode* translation = varInfo->child("Translation");
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation->bytes, (std::vector<std::uint8_t>{0x09, 0x04, 0x00, 0x00})) << "0x0409, code page 0";

    EXPECT_EQ(strings->id, 7u) << "the block of string ids 96 to 111";
    EXPECT_EQ(strings->language, single ? 1033u : 2057u);
    EXPECT_EQ(parseStringTable(strings->id, strings->data),
              (std::map<std::uint32_t, std::string>{{100, "MATLAB R11 native"}, {101, "not inlined"}}));
}

TEST(WindowsLibraries, Matlab32BitDllsShowTheirExportImportsAndResources)
{
    for (const Library& library : libraries)
        checkLibrary(matlab32, library);
}

TEST(WindowsLibraries, Wine64BitLibrariesShowTheirExportImportsAndResources)
{
    for (const Library& library : libraries)
        checkLibrary(wine64, library);
}

// The names under EXPORTS in a module definition file, sorted.
std::vector<std::string> definedExports(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> names;
    bool exports = false;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == ';')
            continue;
        if (word == "EXPORTS")
            exports = true;
        else if (exports)
            names.push_back(word);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The 32-bit embedded host as MATLAB's libraries find it: libmx.dll and
// libmex.dll export exactly what the import libraries promise, and every
// function a library imports is there.
TEST(WindowsLibraries, Host32BitDllsExportTheMatlabLists)
{
    std::map<std::string, std::set<std::string>> served;
    for (const auto& [dll, def] : {std::pair{"libmx.dll", FPMEX_LIBMX_DEF}, std::pair{"libmex.dll", FPMEX_LIBMEX_DEF}}) {
        SCOPED_TRACE(dll);
        const PeImage image = readPeImage(std::string(FPMEX_WINDOWS32_BIN) + "/" + dll);
        EXPECT_EQ(image.machine, 0x14C);
        std::vector<std::string> exports = image.exports;
        std::sort(exports.begin(), exports.end());
        const std::vector<std::string> listed = definedExports(def);
        EXPECT_FALSE(listed.empty());
        EXPECT_EQ(exports, listed);
        served[dll].insert(exports.begin(), exports.end());
    }
    for (const Library& library : libraries) {
        const std::string file = std::string(matlab32.directory) + "/@" + library.set + "/" + library.name + ".dll";
        for (const auto& [dll, functions] : readPeImage(file).imports)
            if (served.count(lower(dll)) != 0)
                for (const std::string& function : functions)
                    EXPECT_EQ(served[lower(dll)].count(function), 1u) << file << " imports " << function << " from " << dll;
    }
}

} // namespace
} // namespace fpmex::test
