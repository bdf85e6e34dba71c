// Small PCX files made on the spot, so the viewer's tests need no pictures from elsewhere.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The header fields a test varies, and what follows the header.
struct PcxFile {
    uint8_t manufacturer = 10;
    uint8_t version = 5;
    uint8_t bits = 8;
    uint8_t planes = 1;
    uint16_t xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    uint16_t bytesperline = 1;
    std::vector<uint8_t> codes;   // the run-length codes as they go into the file
    bool marker = true;           // the byte 12 that usually precedes the palette
    std::vector<uint8_t> palette; // 768 bytes; empty: a pattern that differs per entry
};

// A picture of width x height with bytes per line equal to the width, no codes yet.
inline PcxFile pcx_sized(uint16_t width, uint16_t height)
{
    PcxFile f;
    f.xmax = (uint16_t)(width - 1);
    f.ymax = (uint16_t)(height - 1);
    f.bytesperline = width;
    return f;
}

inline std::vector<uint8_t> pcx_default_palette()
{
    std::vector<uint8_t> p(768);
    for (int i = 0; i < 256; i++) {
        p[i * 3 + 0] = (uint8_t)(i * 37);
        p[i * 3 + 1] = (uint8_t)(255 - i);
        p[i * 3 + 2] = (uint8_t)(i * 101 + 50);
    }
    return p;
}

inline std::vector<uint8_t> pcx_bytes(const PcxFile &f)
{
    std::vector<uint8_t> out(128, 0);
    auto put16 = [&](int at, uint16_t v) {
        out[at] = (uint8_t)v;
        out[at + 1] = (uint8_t)(v >> 8);
    };
    out[0] = f.manufacturer;
    out[1] = f.version;
    out[2] = 1;
    out[3] = f.bits;
    put16(4, f.xmin);
    put16(6, f.ymin);
    put16(8, f.xmax);
    put16(10, f.ymax);
    out[65] = f.planes;
    put16(66, f.bytesperline);
    out.insert(out.end(), f.codes.begin(), f.codes.end());
    if (f.marker)
        out.push_back(12);
    std::vector<uint8_t> pal = f.palette.empty() ? pcx_default_palette() : f.palette;
    out.insert(out.end(), pal.begin(), pal.end());
    return out;
}

// Run-length codes for a stream of scan-line bytes, pads included: runs of up to 63 that
// freely cross scan lines, single bytes below 192 as themselves.
inline std::vector<uint8_t> pcx_encode(const std::vector<uint8_t> &stream)
{
    std::vector<uint8_t> codes;
    for (size_t i = 0; i < stream.size();) {
        size_t n = 1;
        while (i + n < stream.size() && stream[i + n] == stream[i] && n < 63)
            n++;
        if (n == 1 && stream[i] < 192) {
            codes.push_back(stream[i]);
        } else {
            codes.push_back((uint8_t)(192 + n));
            codes.push_back(stream[i]);
        }
        i += n;
    }
    return codes;
}

// An open stream over bytes held by the test, closed when it goes.
struct MemFile {
    std::vector<uint8_t> data;
    FILE *fp = nullptr;
    explicit MemFile(std::vector<uint8_t> bytes) : data(std::move(bytes))
    {
        // fmemopen refuses an empty buffer; a temporary file stands in for an empty file.
        fp = data.empty() ? tmpfile() : fmemopen(data.data(), data.size(), "rb");
    }
    ~MemFile()
    {
        if (fp)
            fclose(fp);
    }
    MemFile(const MemFile &) = delete;
    MemFile &operator=(const MemFile &) = delete;
};
