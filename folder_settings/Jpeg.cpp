#include "folder_settings/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "folder_settings/Bitmap.h"
#include "platform/Errors.h"

#ifndef JCS_EXTENSIONS
#error "libjpeg-turbo's extended colour spaces are needed for BGR rows"
#endif

namespace quorvane {
namespace {

// libjpeg ends the process on a fatal error unless error_exit is replaced.
// It is C code, built without unwind tables for some targets, so a C++
// exception must not cross its frames. error_exit therefore longjmps back to
// the setjmp in RunGuarded, which turns the message number into EJPEG. The
// frames the jump skips are libjpeg's and the step lambdas', which keep
// nothing with a destructor alive while they call libjpeg; every object
// that owns memory lives outside the guarded step.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

}  // namespace

extern "C" {
[[noreturn]] static void JumpToGuard(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings and traces are never shown: what was decoded is what is drawn.
static void DropMessage(j_common_ptr) {}
}

namespace {

JpegSettings& DefaultsTable() {
    static JpegSettings defaults;
    return defaults;
}

[[noreturn]] void ThrowJpegError(int code) { throw EJPEG(code); }

jpeg_error_mgr* InitErrors(ErrorManager& errors) {
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JumpToGuard;
    errors.pub.output_message = DropMessage;
    return &errors.pub;
}

// Runs one step of libjpeg calls; a libjpeg error lands here as EJPEG.
template <class Step>
void RunGuarded(ErrorManager& errors, const Step& step) {
    if (setjmp(errors.jump) != 0) ThrowJpegError(errors.pub.msg_code);
    step();
}

class Decompressor {
public:
    Decompressor() {
        cinfo.err = InitErrors(errors);
        RunGuarded(errors, [this] { jpeg_create_decompress(&cinfo); });
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    // Reads the header from memory that outlives this object.
    void ReadHeader(const std::vector<uint8_t>& data) {
        RunGuarded(errors, [this, &data] {
            jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
            jpeg_read_header(&cinfo, TRUE);
        });
    }

    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
};

constexpr int kRowsPerCall = 16;
constexpr int kQuantisedColours = 236;

// Sizes a buffer the decoder fills. A picture that fits the limits may still
// find no room, above all in a 32-bit process: that is libjpeg's
// out-of-memory error too, so the caller sees one kind of failure.
template <class Allocate>
void AllocateOrFail(const Allocate& allocate) {
    try {
        allocate();
    } catch (const std::bad_alloc&) {
        ThrowJpegError(JERR_OUT_OF_MEMORY);
    }
}

// The encoder's output, owned by the compressor from the start to the end.
// jpeg_mem_dest would not do: when its output outgrows the first buffer it
// frees that one and tells the caller of the new one only at the finish, so
// a failure in between leaves the caller a freed pointer and leaks the live
// one.
struct VectorDestination {
    jpeg_destination_mgr pub{};
    std::vector<uint8_t> bytes;
};

constexpr size_t kFirstOutputBytes = size_t{64} << 10;

}  // namespace

extern "C" {
// Grows the output: the vector's allocation failure becomes libjpeg's
// out-of-memory error, raised only once the exception is gone, so that no
// C++ exception crosses libjpeg's frames.
static boolean GrowOutput(j_compress_ptr cinfo) {
    auto* dest = static_cast<VectorDestination*>(cinfo->client_data);
    const size_t used = dest->bytes.size();
    bool grown = false;
    try {
        dest->bytes.resize(used * 2);
        grown = true;
    } catch (const std::bad_alloc&) {
    }
    if (!grown) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    dest->pub.next_output_byte = dest->bytes.data() + used;
    dest->pub.free_in_buffer = dest->bytes.size() - used;
    return TRUE;
}

static void StartOutput(j_compress_ptr cinfo) {
    auto* dest = static_cast<VectorDestination*>(cinfo->client_data);
    dest->pub.next_output_byte = dest->bytes.data();
    dest->pub.free_in_buffer = dest->bytes.size();
}

// Drops what the last call left unwritten.
static void FinishOutput(j_compress_ptr cinfo) {
    auto* dest = static_cast<VectorDestination*>(cinfo->client_data);
    dest->bytes.resize(dest->bytes.size() - dest->pub.free_in_buffer);
}
}

namespace {

class Compressor {
public:
    Compressor() {
        cinfo.err = InitErrors(errors);
        RunGuarded(errors, [this] { jpeg_create_compress(&cinfo); });
        // A constructor that throws runs no destructor: the memory manager
        // made above goes here, or nowhere.
        try {
            AllocateOrFail([this] { output.bytes.resize(kFirstOutputBytes); });
        } catch (...) {
            jpeg_destroy_compress(&cinfo);
            throw;
        }
        output.pub.init_destination = StartOutput;
        output.pub.empty_output_buffer = GrowOutput;
        output.pub.term_destination = FinishOutput;
        cinfo.dest = &output.pub;
        cinfo.client_data = &output;
    }
    ~Compressor() { jpeg_destroy_compress(&cinfo); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    jpeg_compress_struct cinfo{};
    ErrorManager errors{};
    VectorDestination output;
};

// libjpeg turns YCCK into CMYK but stops there. Adobe's writers store the
// inks inverted (0 is full ink) and say so with their marker; files without
// it hold plain inks. Each colour is the paper's white dimmed by its own ink
// and by black: red = (255 - C) * (255 - K) / 255.
void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
    const unsigned flip = inverted ? 0 : 255;
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned white = cmyk[3] ^ flip;
        for (int ch = 0; ch < 3; ++ch) bgr[2 - ch] = static_cast<uint8_t>(((cmyk[ch] ^ flip) * white + 127) / 255);
    }
}

Dib Decode(const std::vector<uint8_t>& data, const JpegSettings& settings, int scale) {
    Decompressor d;
    jpeg_decompress_struct& c = d.cinfo;
    d.ReadHeader(data);
    // libjpeg neither quantises nor greys four components, so CMYK always
    // comes out in 24-bit colour.
    const bool inks = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
    const bool grayOut = !inks && (settings.grayscale || c.jpeg_color_space == JCS_GRAYSCALE);
    const bool quantise = !inks && (grayOut || settings.pixelFormat == JpegPixelFormat::k8Bit);
    RunGuarded(d.errors, [&] {
        // Quantised colour comes as indices with a red, green, blue map.
        c.out_color_space = inks ? JCS_CMYK : grayOut ? JCS_GRAYSCALE : quantise ? JCS_RGB : JCS_EXT_BGR;
        c.scale_num = 1;
        c.scale_denom = static_cast<unsigned>(scale);
        c.do_block_smoothing = settings.smoothing ? TRUE : FALSE;
        c.buffered_image = FALSE;
        if (settings.performance == JpegPerformance::kBestSpeed) {
            c.dct_method = JDCT_IFAST;
            c.do_fancy_upsampling = FALSE;
            c.two_pass_quantize = FALSE;
            c.dither_mode = JDITHER_ORDERED;
        } else {
            c.dct_method = JDCT_ISLOW;
            c.two_pass_quantize = TRUE;
            c.dither_mode = JDITHER_FS;
        }
        if (quantise) {
            c.quantize_colors = TRUE;
            c.desired_number_of_colors = kQuantisedColours;
        }
        c.mem->max_memory_to_use = kMaxJpegWorkingBytes;
        jpeg_calc_output_dimensions(&c);
    });

    const int bits = quantise ? 8 : 24;
    const uint64_t bytes = Dib::StrideFor(static_cast<int>(c.output_width), bits) * c.output_height;
    if (bytes > kMaxJpegBitmapBytes) ThrowJpegError(JERR_OUT_OF_MEMORY);

    // A progressive stream is read completely here, so libjpeg's own limit
    // refuses a hostile one before the bitmap is allocated.
    RunGuarded(d.errors, [&] { jpeg_start_decompress(&c); });
    Dib dib;
    // CMYK rows land here first, a few at a time, and are converted into the bitmap.
    std::vector<uint8_t> inkRows;
    const size_t inkStride = size_t{4} * c.output_width;
    AllocateOrFail([&] {
        dib.Allocate(static_cast<int>(c.output_width), static_cast<int>(c.output_height), bits);
        if (inks) inkRows.resize(inkStride * kRowsPerCall);
    });
    const bool inverted = c.saw_Adobe_marker;
    while (c.output_scanline < c.output_height) {
        JSAMPROW rows[kRowsPerCall];
        const JDIMENSION first = c.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(kRowsPerCall, c.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            rows[i] = inks ? inkRows.data() + inkStride * i : dib.Row(static_cast<int>(first + i));
        }
        JDIMENSION got = 0;
        RunGuarded(d.errors, [&] { got = jpeg_read_scanlines(&c, rows, count); });
        for (JDIMENSION i = 0; inks && i < got; ++i) {
            CmykRowToBgr(rows[i], dib.Row(static_cast<int>(first + i)), c.output_width, inverted);
        }
    }
    if (quantise) {
        // The map has one row per output component: grey, or red, green, blue.
        dib.palette.resize(static_cast<size_t>(c.actual_number_of_colors));
        for (size_t i = 0; i < dib.palette.size(); ++i) {
            PaletteEntry& e = dib.palette[i];
            if (c.out_color_components == 1) {
                e.red = e.green = e.blue = c.colormap[0][i];
            } else {
                e.red = c.colormap[0][i];
                e.green = c.colormap[1][i];
                e.blue = c.colormap[2][i];
            }
        }
    }
    RunGuarded(d.errors, [&] { jpeg_finish_decompress(&c); });
    return dib;
}

// Bitmaps reach the encoder only from TBitmap, so their rows are always
// 24-bit blue, green, red, which libjpeg takes as they are.
std::vector<uint8_t> Encode(const Dib& bitmap, const JpegSettings& settings) {
    Compressor e;
    jpeg_compress_struct& c = e.cinfo;
    RunGuarded(e.errors, [&] {
        c.image_width = static_cast<JDIMENSION>(bitmap.width);
        c.image_height = static_cast<JDIMENSION>(bitmap.height);
        c.input_components = 3;
        c.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, settings.compressionQuality, TRUE);
        if (settings.grayscale) jpeg_set_colorspace(&c, JCS_GRAYSCALE);
        if (settings.progressiveEncoding) jpeg_simple_progression(&c);
        jpeg_start_compress(&c, TRUE);
        while (c.next_scanline < c.image_height) {
            // libjpeg takes non-const rows but only reads them.
            JSAMPROW rows[kRowsPerCall];
            const int y = static_cast<int>(c.next_scanline);
            const int count = std::min(kRowsPerCall, bitmap.height - y);
            for (int i = 0; i < count; ++i) rows[i] = const_cast<uint8_t*>(bitmap.Row(y + i));
            jpeg_write_scanlines(&c, rows, static_cast<JDIMENSION>(count));
        }
        jpeg_finish_compress(&c);
    });
    return std::move(e.output.bytes);
}

}  // namespace

TJPEGImage::TJPEGImage() : settings_(DefaultSettings()) {}

TJPEGImage::TJPEGImage(const JpegSettings& settings) : settings_(settings) {}

const JpegSettings& TJPEGImage::DefaultSettings() { return DefaultsTable(); }

void TJPEGImage::SetScreenColorDepth(int bitsPerPixelTimesPlanes) {
    DefaultsTable().pixelFormat = bitsPerPixelTimesPlanes <= 8 ? JpegPixelFormat::k8Bit : JpegPixelFormat::k24Bit;
}

void TJPEGImage::LoadFromFile(Platform& platform, const std::string& path) {
    std::vector<uint8_t> bytes;
    const FileResult read = platform.ReadWholeFile(path, bytes);
    if (!read.ok) throw EFOpenError(FormatText("Cannot open file \"%s\". %s", {path, read.error}));
    LoadFromData(std::move(bytes));
}

void TJPEGImage::LoadFromData(std::vector<uint8_t> data) {
    int width = 0, height = 0;
    bool grayscale = false;
    if (!data.empty()) {
        Decompressor d;
        d.ReadHeader(data);
        width = static_cast<int>(d.cinfo.image_width);
        height = static_cast<int>(d.cinfo.image_height);
        grayscale = d.cinfo.jpeg_color_space == JCS_GRAYSCALE;
    }
    data_ = data.empty() ? nullptr : std::make_shared<const std::vector<uint8_t>>(std::move(data));
    bitmap_.reset();
    scale_ = 1;
    width_ = width;
    height_ = height;
    grayscale_ = grayscale;
}

void TJPEGImage::Compress() {
    if (data_ || !bitmap_ || bitmap_->Empty()) return;
    data_ = std::make_shared<const std::vector<uint8_t>>(Encode(*bitmap_, settings_));
}

void TJPEGImage::SaveToFile(Platform& platform, const std::string& path) {
    Compress();
    const FileResult written = platform.ReplaceWholeFile(path, Data());
    if (!written.ok) throw EFCreateError(FormatText("Cannot create file \"%s\". %s", {path, written.error}));
}

void TJPEGImage::Assign(const TBitmap& bitmap) {
    bitmap_ = bitmap.SharedImage() ? bitmap.SharedImage() : std::make_shared<const Dib>();
    data_.reset();
    width_ = bitmap_->width;
    height_ = bitmap_->height;
    scale_ = 1;
    grayscale_ = false;
}

void TJPEGImage::Assign(const TJPEGImage& other) {
    if (&other == this) return;
    data_ = other.data_;
    bitmap_ = other.bitmap_;
    width_ = other.width_;
    height_ = other.height_;
    scale_ = other.scale_;
    grayscale_ = other.grayscale_;
}

const Dib& TJPEGImage::DecodedBitmap() { return DecodedBitmap(width_, height_); }

const Dib& TJPEGImage::DecodedBitmap(int wantedWidth, int wantedHeight) {
    const int scale = std::max(settings_.scaleDenominator, JpegScaleFor(width_, height_, wantedWidth, wantedHeight));
    if (bitmap_ && (!data_ || scale_ <= scale)) return *bitmap_;
    // The bitmap is made before the kept one goes, so a failure keeps it.
    bitmap_ = std::make_shared<const Dib>(data_ ? Decode(*data_, settings_, scale) : Dib());
    scale_ = scale;
    return *bitmap_;
}

bool JpegTooLarge(const EJPEG& error) {
    return error.code() == JERR_OUT_OF_MEMORY || error.code() == JERR_NO_BACKING_STORE;
}

int JpegScaleFor(int width, int height, int wantedWidth, int wantedHeight) {
    const auto gives = [](int size, int scale) { return (static_cast<int64_t>(size) + scale - 1) / scale; };
    for (int scale = 8; scale > 1; scale /= 2) {
        if (gives(width, scale) >= wantedWidth && gives(height, scale) >= wantedHeight) return scale;
    }
    return 1;
}

bool TJPEGImage::Empty() const { return !data_ && (!bitmap_ || bitmap_->Empty()); }

const std::vector<uint8_t>& TJPEGImage::Data() const {
    static const std::vector<uint8_t> none;
    return data_ ? *data_ : none;
}


}  // namespace quorvane
