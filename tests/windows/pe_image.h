// A small reader of Windows PE images (DLLs), enough to check what a MEX
// library shows its host: the machine, the export and import tables, and
// the resources with the version information and string tables decoded.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fpmex::test {

struct PeResource {
    std::uint32_t type = 0; // 6 string table, 16 version
    std::uint32_t id = 0;
    std::uint32_t language = 0;
    std::vector<std::uint8_t> data;
};

struct PeImage {
    std::uint16_t machine = 0; // 0x14C i386, 0x8664 x86-64
    std::vector<std::string> exports;
    std::map<std::string, std::vector<std::string>> imports; // DLL name -> functions
    std::vector<PeResource> resources;
};

// Reads the file; throws std::runtime_error when it is not a sound PE image.
PeImage readPeImage(const std::string& path);

// One node of a version resource (VS_VERSIONINFO and its children): the key,
// the value as text (string values) or raw bytes, and the children.
struct VersionNode {
    std::string key;
    std::string text;
    std::vector<std::uint8_t> bytes;
    std::vector<VersionNode> children;

    const VersionNode* child(const std::string& name) const;
};

VersionNode parseVersionResource(const std::vector<std::uint8_t>& data);

// The strings of a string table block, by string id (empty ones left out).
std::map<std::uint32_t, std::string> parseStringTable(std::uint32_t blockId, const std::vector<std::uint8_t>& data);

} // namespace fpmex::test
