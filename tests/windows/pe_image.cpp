#include "pe_image.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fpmex::test {
namespace {

class Bytes {
public:
    explicit Bytes(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    std::uint64_t read(std::size_t offset, std::size_t width) const
    {
        if (offset > data_.size() || width > data_.size() - offset)
            throw std::runtime_error("PE image truncated");
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value |= std::uint64_t(data_[offset + i]) << (8 * i);
        return value;
    }
    std::uint16_t u16(std::size_t offset) const { return std::uint16_t(read(offset, 2)); }
    std::uint32_t u32(std::size_t offset) const { return std::uint32_t(read(offset, 4)); }

    std::string cString(std::size_t offset) const
    {
        std::string text;
        for (std::size_t i = offset; i < data_.size() && data_[i] != 0; ++i)
            text += char(data_[i]);
        return text;
    }
    std::vector<std::uint8_t> slice(std::size_t offset, std::size_t size) const
    {
        read(offset, 0);
        if (size > data_.size() - offset)
            throw std::runtime_error("PE image truncated");
        return {data_.begin() + std::ptrdiff_t(offset), data_.begin() + std::ptrdiff_t(offset + size)};
    }

private:
    std::vector<std::uint8_t> data_;
};

struct Section {
    std::uint32_t address, size, fileOffset;
};

class Reader {
public:
    explicit Reader(const Bytes& file) : file_(file)
    {
        if (file.u16(0) != 0x5A4D)
            throw std::runtime_error("no MZ header");
        const std::size_t pe = file.u32(0x3C);
        if (file.u32(pe) != 0x00004550)
            throw std::runtime_error("no PE signature");
        machine = file.u16(pe + 4);
        const std::size_t sections = file.u16(pe + 6);
        const std::size_t optionalSize = file.u16(pe + 20);
        const std::size_t optional = pe + 24;
        wide_ = file.u16(optional) == 0x20B;
        directories_ = optional + (wide_ ? 112 : 96);
        for (std::size_t i = 0; i < sections; ++i) {
            const std::size_t s = optional + optionalSize + 40 * i;
            const std::uint32_t virtualSize = file.u32(s + 8), rawSize = file.u32(s + 16);
            sections_.push_back({file.u32(s + 12), std::max(virtualSize, rawSize), file.u32(s + 20)});
        }
    }

    std::uint32_t directory(int index) const { return file_.u32(directories_ + 8 * std::size_t(index)); }

    std::size_t offsetOf(std::uint32_t rva) const
    {
        for (const Section& s : sections_)
            if (rva >= s.address && rva - s.address < s.size)
                return s.fileOffset + (rva - s.address);
        throw std::runtime_error("address outside every section");
    }

    std::vector<std::string> exports() const
    {
        std::vector<std::string> names;
        if (directory(0) == 0)
            return names;
        const std::size_t dir = offsetOf(directory(0));
        const std::size_t count = file_.u32(dir + 24);
        const std::size_t table = offsetOf(file_.u32(dir + 32));
        for (std::size_t i = 0; i < count; ++i)
            names.push_back(file_.cString(offsetOf(file_.u32(table + 4 * i))));
        return names;
    }

    std::map<std::string, std::vector<std::string>> imports() const
    {
        std::map<std::string, std::vector<std::string>> result;
        if (directory(1) == 0)
            return result;
        const std::size_t width = wide_ ? 8 : 4;
        const std::uint64_t byOrdinal = std::uint64_t(1) << (8 * width - 1);
        for (std::size_t d = offsetOf(directory(1));; d += 20) {
            const std::uint32_t nameRva = file_.u32(d + 12);
            if (nameRva == 0)
                break;
            std::vector<std::string>& functions = result[file_.cString(offsetOf(nameRva))];
            const std::uint32_t thunks = file_.u32(d) != 0 ? file_.u32(d) : file_.u32(d + 16);
            for (std::size_t t = offsetOf(thunks);; t += width) {
                const std::uint64_t entry = file_.read(t, width);
                if (entry == 0)
                    break;
                functions.push_back(entry & byOrdinal ? "#" + std::to_string(entry & 0xFFFF)
                                                      : file_.cString(offsetOf(std::uint32_t(entry)) + 2));
            }
        }
        return result;
    }

    // Type, name and language levels of the resource tree.
    void resources(std::vector<PeResource>& out) const
    {
        if (directory(2) == 0)
            return;
        const std::size_t root = offsetOf(directory(2));
        walk(root, root, 0, PeResource{}, out);
    }

    std::uint16_t machine = 0;

private:
    void walk(std::size_t root, std::size_t dir, int level, PeResource path, std::vector<PeResource>& out) const
    {
        const std::size_t entries = std::size_t(file_.u16(dir + 12)) + file_.u16(dir + 14);
        for (std::size_t i = 0; i < entries; ++i) {
            const std::size_t e = dir + 16 + 8 * i;
            const std::uint32_t id = file_.u32(e), target = file_.u32(e + 4);
            PeResource here = path;
            (level == 0 ? here.type : level == 1 ? here.id : here.language) = id;
            if (target & 0x80000000u) {
                if (level >= 2)
                    throw std::runtime_error("resource tree deeper than three levels");
                walk(root, root + (target & 0x7FFFFFFFu), level + 1, here, out);
            } else {
                const std::size_t leaf = root + target;
                here.data = file_.slice(offsetOf(file_.u32(leaf)), file_.u32(leaf + 4));
                out.push_back(std::move(here));
            }
        }
    }

    const Bytes& file_;
    bool wide_ = false;
    std::size_t directories_ = 0;
    std::vector<Section> sections_;
};

std::string narrow(const std::vector<std::uint8_t>& data, std::size_t offset, std::size_t units)
{
    std::string text;
    for (std::size_t i = 0; i < units; ++i) {
        const std::size_t at = offset + 2 * i;
        if (at + 1 >= data.size())
            throw std::runtime_error("resource string truncated");
        const unsigned unit = data[at] | unsigned(data[at + 1]) << 8;
        if (unit == 0)
            break;
        text += unit < 0x80 ? char(unit) : '?';
    }
    return text;
}

std::size_t align4(std::size_t n)
{
    return (n + 3) & ~std::size_t(3);
}

VersionNode parseNode(const std::vector<std::uint8_t>& data, std::size_t offset, std::size_t& end)
{
    if (offset + 6 > data.size())
        throw std::runtime_error("version resource truncated");
    const std::size_t length = data[offset] | std::size_t(data[offset + 1]) << 8;
    const std::size_t valueLength = data[offset + 2] | std::size_t(data[offset + 3]) << 8;
    const bool text = (data[offset + 4] | data[offset + 5] << 8) == 1;
    end = offset + length;
    if (length < 6 || end > data.size())
        throw std::runtime_error("version resource node out of bounds");
    VersionNode node;
    std::size_t at = offset + 6;
    node.key = narrow(data, at, (end - at) / 2);
    at = align4(at + 2 * (node.key.size() + 1));
    const std::size_t valueBytes = text ? 2 * valueLength : valueLength;
    if (at + valueBytes > end)
        throw std::runtime_error("version resource value out of bounds");
    if (text)
        node.text = narrow(data, at, valueLength);
    else
        node.bytes.assign(data.begin() + std::ptrdiff_t(at), data.begin() + std::ptrdiff_t(at + valueBytes));
    for (at = align4(at + valueBytes); at < end; at = align4(at)) {
        std::size_t childEnd = 0;
        node.children.push_back(parseNode(data, at, childEnd));
        at = childEnd;
    }
    return node;
}

} // namespace

const VersionNode* VersionNode::child(const std::string& name) const
{
    for (const VersionNode& c : children)
        if (c.key == name)
            return &c;
    return nullptr;
}

PeImage readPeImage(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    const Bytes file(std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    const Reader reader(file);
    PeImage image;
    image.machine = reader.machine;
    image.exports = reader.exports();
    image.imports = reader.imports();
    reader.resources(image.resources);
    return image;
}

VersionNode parseVersionResource(const std::vector<std::uint8_t>& data)
{
    std::size_t end = 0;
    return parseNode(data, 0, end);
}

std::map<std::uint32_t, std::string> parseStringTable(std::uint32_t blockId, const std::vector<std::uint8_t>& data)
{
    std::map<std::uint32_t, std::string> strings;
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < 16; ++i) {
        if (at + 2 > data.size())
            throw std::runtime_error("string table truncated");
        const std::size_t units = data[at] | std::size_t(data[at + 1]) << 8;
        if (units != 0)
            strings[(blockId - 1) * 16 + i] = narrow(data, at + 2, units);
        at += 2 + 2 * units;
    }
    return strings;
}

} // namespace fpmex::test
