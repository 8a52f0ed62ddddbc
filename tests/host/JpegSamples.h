// JPEG streams made with libjpeg itself, and libjpeg's own decoding of them,
// as fixtures and reference results for the picture tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "folder_settings/Dib.h"

namespace quorvane::test {

struct SampleOptions {
    int components = 3;  // 1 grey, 3 RGB, 4 CMYK
    int quality = 75;
    bool progressive = false;
    // Four components only: stored as YCCK, and with Adobe's marker (which
    // libjpeg writes by default and YCCK needs).
    bool ycck = false;
    bool adobeMarker = true;
};

// A smooth picture with a few hard edges: channel c of pixel (x, y).
inline uint8_t SampleValue(int x, int y, int c, int width, int height) {
    const int gradient = c == 0 ? 255 * x / (width > 1 ? width - 1 : 1)
                       : c == 1 ? 255 * y / (height > 1 ? height - 1 : 1)
                                : 255 * (x + y) / (width + height);
    const bool box = x > width / 4 && x < width / 2 && y > height / 4 && y < height / 2;
    return static_cast<uint8_t>(box ? 255 - gradient : gradient);
}

inline std::vector<uint8_t> SamplePixels(int width, int height, int components) {
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(width) * height * components);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) pixels.push_back(SampleValue(x, y, c, width, height));
    return pixels;
}

// Encodes interleaved rows (top first) with libjpeg's defaults.
inline std::vector<uint8_t> EncodeWithLibjpeg(const std::vector<uint8_t>& pixels, int width, int height,
                                              const SampleOptions& options) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = options.components;
    c.in_color_space = options.components == 1 ? JCS_GRAYSCALE : options.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, options.quality, TRUE);
    if (options.ycck) jpeg_set_colorspace(&c, JCS_YCCK);
    if (options.components == 4) c.write_Adobe_marker = options.adobeMarker ? TRUE : FALSE;
    if (options.progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    const size_t stride = static_cast<size_t>(width) * options.components;
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.data() + stride * c.next_scanline);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

// RGB pixels as printers' inks: black takes the darkness out, the colours
// what remains. Inverted (0 is full ink) as Adobe's writers store them.
inline std::vector<uint8_t> CmykFromRgb(const std::vector<uint8_t>& rgb, bool inverted) {
    std::vector<uint8_t> cmyk;
    cmyk.reserve(rgb.size() / 3 * 4);
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const int brightest = std::max({rgb[i], rgb[i + 1], rgb[i + 2]});
        for (int ch = 0; ch < 3; ++ch) {
            const int ink = brightest == 0 ? 0 : 255 - (rgb[i + ch] * 255 + brightest / 2) / brightest;
            cmyk.push_back(static_cast<uint8_t>(inverted ? 255 - ink : ink));
        }
        cmyk.push_back(static_cast<uint8_t>(inverted ? brightest : 255 - brightest));
    }
    return cmyk;
}

inline std::vector<uint8_t> SampleJpeg(int width, int height, const SampleOptions& options = {}) {
    return EncodeWithLibjpeg(SamplePixels(width, height, options.components), width, height, options);
}

// libjpeg's own decoding with its default methods, into a Dib: BGR, or
// indices into `colours` colours when colours > 0 (grey streams always).
inline Dib DecodeWithLibjpeg(const std::vector<uint8_t>& data, int colours, int scale = 1) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr errors{};
    d.err = jpeg_std_error(&errors);
    errors.output_message = [](j_common_ptr) {};
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d, TRUE);
    d.scale_denom = static_cast<unsigned>(scale);
    if (d.jpeg_color_space != JCS_GRAYSCALE) d.out_color_space = colours > 0 ? JCS_RGB : JCS_EXT_BGR;
    if (colours > 0) {
        d.quantize_colors = TRUE;
        d.desired_number_of_colors = colours;
    }
    jpeg_start_decompress(&d);
    Dib dib;
    dib.Allocate(static_cast<int>(d.output_width), static_cast<int>(d.output_height), colours > 0 ? 8 : 24);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = dib.Row(static_cast<int>(d.output_scanline));
        jpeg_read_scanlines(&d, &row, 1);
    }
    for (int i = 0; colours > 0 && i < d.actual_number_of_colors; ++i) {
        const bool grey = d.out_color_components == 1;
        dib.palette.push_back({d.colormap[grey ? 0 : 2][i], d.colormap[grey ? 0 : 1][i], d.colormap[0][i], 0});
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return dib;
}

// The offset of the first marker segment of the given type before the
// first scan, or 0.
inline size_t FindSegment(const std::vector<uint8_t>& data, uint8_t marker) {
    size_t p = 2;
    while (p + 4 <= data.size() && data[p] == 0xFF) {
        if (data[p + 1] == marker) return p;
        if (data[p + 1] == 0xDA) break;
        p += 2 + (static_cast<size_t>(data[p + 2]) << 8 | data[p + 3]);
    }
    return 0;
}

// The stream with its frame header claiming another size.
inline std::vector<uint8_t> WithSize(std::vector<uint8_t> data, int width, int height) {
    size_t sof = FindSegment(data, 0xC0);
    if (sof == 0) sof = FindSegment(data, 0xC2);
    if (sof == 0) throw std::runtime_error("no frame header");
    data[sof + 5] = static_cast<uint8_t>(height >> 8);
    data[sof + 6] = static_cast<uint8_t>(height);
    data[sof + 7] = static_cast<uint8_t>(width >> 8);
    data[sof + 8] = static_cast<uint8_t>(width);
    return data;
}

// The entries in which the stream's first two quantisation tables differ
// from libjpeg's standard tables scaled for `quality` and forced to
// baseline, as "table:index"; empty when they all match.
inline std::vector<std::string> QuantTableMismatches(const std::vector<uint8_t>& data, int quality) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr errors{};
    d.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d, TRUE);
    jpeg_compress_struct c{};
    jpeg_error_mgr cerrors{};
    c.err = jpeg_std_error(&cerrors);
    jpeg_create_compress(&c);
    c.in_color_space = JCS_RGB;
    c.input_components = 3;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    std::vector<std::string> mismatches;
    for (int t = 0; t < 2; ++t) {
        if (!d.quant_tbl_ptrs[t]) {
            mismatches.push_back(std::to_string(t) + ": missing");
            continue;
        }
        for (int i = 0; i < DCTSIZE2; ++i) {
            if (d.quant_tbl_ptrs[t]->quantval[i] != c.quant_tbl_ptrs[t]->quantval[i])
                mismatches.push_back(std::to_string(t) + ":" + std::to_string(i));
        }
    }
    jpeg_destroy_compress(&c);
    jpeg_destroy_decompress(&d);
    return mismatches;
}

}  // namespace quorvane::test
