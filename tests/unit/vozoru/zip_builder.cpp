#include "zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace ziptest {
namespace {

void Append16(std::vector<unsigned char>* out, uint32_t value) {
    out->push_back(static_cast<unsigned char>(value & 0xFF));
    out->push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void Append32(std::vector<unsigned char>* out, uint32_t value) {
    Append16(out, value & 0xFFFF);
    Append16(out, value >> 16);
}

void AppendText(std::vector<unsigned char>* out, const std::string& text) {
    out->insert(out->end(), text.begin(), text.end());
}

struct PreparedMember {
    std::string stored;
    uint32_t method;
    uint32_t crc;
};

PreparedMember Prepare(const ZipMember& member) {
    PreparedMember p;
    p.stored = member.deflate ? DeflateRaw(member.data) : member.data;
    p.method = member.methodOverride >= 0 ? static_cast<uint32_t>(member.methodOverride)
                                          : (member.deflate ? 8u : 0u);
    p.crc = Crc32Of(member.data);
    return p;
}

} // namespace

void ZipImage::Put16(size_t at, uint16_t value) {
    bytes.at(at) = static_cast<unsigned char>(value & 0xFF);
    bytes.at(at + 1) = static_cast<unsigned char>(value >> 8);
}

void ZipImage::Put32(size_t at, uint32_t value) {
    Put16(at, static_cast<uint16_t>(value & 0xFFFF));
    Put16(at + 2, static_cast<uint16_t>(value >> 16));
}

uint32_t ZipImage::Get32(size_t at) const {
    return static_cast<uint32_t>(bytes.at(at)) | (static_cast<uint32_t>(bytes.at(at + 1)) << 8) |
           (static_cast<uint32_t>(bytes.at(at + 2)) << 16) |
           (static_cast<uint32_t>(bytes.at(at + 3)) << 24);
}

std::string DeflateRaw(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

uint32_t Crc32Of(const std::string& data) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

ZipImage BuildZip(const std::vector<ZipMember>& members, const ZipLayout& layout) {
    ZipImage image;
    std::vector<unsigned char>& out = image.bytes;
    out = layout.leading;
    std::vector<PreparedMember> prepared;
    for (const ZipMember& member : members) {
        const PreparedMember p = Prepare(member);
        const uint32_t flags = member.dataDescriptor ? 0x0008 : 0;
        image.localHeaders.push_back(out.size());
        Append32(&out, 0x04034B50);
        Append16(&out, 20);
        Append16(&out, flags);
        Append16(&out, p.method);
        Append16(&out, member.dosTime);
        Append16(&out, member.dosDate);
        Append32(&out, member.dataDescriptor ? 0 : p.crc);
        Append32(&out, member.dataDescriptor ? 0 : static_cast<uint32_t>(p.stored.size()));
        Append32(&out, member.dataDescriptor ? 0 : static_cast<uint32_t>(member.data.size()));
        Append16(&out, static_cast<uint32_t>(member.name.size()));
        Append16(&out, 0);
        AppendText(&out, member.name);
        AppendText(&out, p.stored);
        if (member.dataDescriptor) {
            Append32(&out, 0x08074B50);
            Append32(&out, p.crc);
            Append32(&out, static_cast<uint32_t>(p.stored.size()));
            Append32(&out, static_cast<uint32_t>(member.data.size()));
        }
        prepared.push_back(p);
    }
    const size_t centralStart = out.size();
    for (size_t i = 0; i < members.size(); ++i) {
        const ZipMember& member = members[i];
        const PreparedMember& p = prepared[i];
        image.centralRecords.push_back(out.size());
        Append32(&out, 0x02014B50);
        Append16(&out, 20);
        Append16(&out, 20);
        Append16(&out, member.dataDescriptor ? 0x0008 : 0);
        Append16(&out, p.method);
        Append16(&out, member.dosTime);
        Append16(&out, member.dosDate);
        Append32(&out, p.crc);
        Append32(&out, static_cast<uint32_t>(p.stored.size()));
        Append32(&out, static_cast<uint32_t>(member.data.size()));
        Append16(&out, static_cast<uint32_t>(member.name.size()));
        Append16(&out, 0);
        Append16(&out, 0);
        Append16(&out, 0);
        Append16(&out, 0);
        Append32(&out, member.externalAttributes);
        Append32(&out, static_cast<uint32_t>(image.localHeaders[i]));
        AppendText(&out, member.name);
    }
    image.endRecord = out.size();
    Append32(&out, 0x06054B50);
    Append16(&out, 0);
    Append16(&out, 0);
    Append16(&out, static_cast<uint32_t>(members.size()));
    Append16(&out, static_cast<uint32_t>(members.size()));
    Append32(&out, static_cast<uint32_t>(image.endRecord - centralStart));
    Append32(&out, static_cast<uint32_t>(centralStart));
    Append16(&out, static_cast<uint32_t>(layout.comment.size()));
    AppendText(&out, layout.comment);
    out.insert(out.end(), layout.trailing.begin(), layout.trailing.end());
    return image;
}

std::vector<unsigned char> FillerBytes(size_t count, uint32_t seed) {
    std::vector<unsigned char> out(count);
    uint32_t state = seed ? seed : 1;
    for (size_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        unsigned char c = static_cast<unsigned char>(state >> 16);
        // "P" never appears, so neither does any ZIP signature.
        out[i] = c == 'P' ? 'Q' : c;
    }
    return out;
}

} // namespace ziptest
