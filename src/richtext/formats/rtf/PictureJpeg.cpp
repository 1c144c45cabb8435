// JPEG pictures through libjpeg, within the limits a file of their size allows.
#include "Picture.h"
#include "PictureLimits.h"

#include <QImage>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace zorim {
namespace {

using picture::plausiblePixels;
using picture::reductionFor;

// libjpeg reports fatal errors through error_exit, which by default ends the process. Ours
// jumps back to the decoder instead; warnings (damaged but readable data) are ignored.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    QString* message = nullptr; // where the decoder's own words go, when someone asks
};

void keepJpegMessage(j_common_ptr info)
{
    auto* err = reinterpret_cast<JpegError*>(info->err);
    if (!err->message || !err->message->isEmpty())
        return;
    char text[JMSG_LENGTH_MAX] = {};
    info->err->format_message(info, text);
    *err->message = QString::fromLatin1(text);
}

void jpegErrorExit(j_common_ptr info)
{
    keepJpegMessage(info);
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
// Warnings are ignored, except that data ended early: the picture is then incomplete.
void jpegEmitMessage(j_common_ptr info, int level)
{
    if (level < 0 && (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER))
        keepJpegMessage(info);
}
void jpegOutputMessage(j_common_ptr) {}

// A progressive file may hold any number of scans; a few hundred is far beyond real files and
// bounds the time a hostile one can take.
constexpr int kMaxJpegScans = 300;
constexpr int64_t kMaxJpegPixels = 100'000'000;
constexpr long kMaxJpegMemory = 512L << 20;

void jpegProgress(j_common_ptr info)
{
    if (info->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(info);
        if (d->input_scan_number > kMaxJpegScans)
            info->err->error_exit(info);
    }
}

// Everything that must outlive a jump out of the decoder lives here, outside the function
// that calls setjmp.
struct JpegJob {
    const QByteArray* bytes = nullptr;
    QSize maxSize;
    PictureBudget* budget = nullptr;
    bool headerOnly = false;
    QSize size;
    QImage image;
    std::vector<unsigned char> row;
    QString* message = nullptr;
};

void convertCmykRow(const unsigned char* src, uchar* dst, int width, bool inverted)
{
    for (int x = 0; x < width; ++x) {
        int c = src[4 * x], m = src[4 * x + 1], y = src[4 * x + 2], k = src[4 * x + 3];
        if (!inverted) {
            c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k;
        }
        dst[3 * x] = uchar(c * k / 255);
        dst[3 * x + 1] = uchar(m * k / 255);
        dst[3 * x + 2] = uchar(y * k / 255);
    }
}

void runJpeg(jpeg_decompress_struct* cinfo, JpegJob* job)
{
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(job->bytes->constData()),
                 static_cast<unsigned long>(job->bytes->size()));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK)
        return;
    job->size = QSize(int(cinfo->image_width), int(cinfo->image_height));
    if (job->headerOnly || job->size.isEmpty())
        return;
    // libjpeg keeps whole-image buffers for progressive files at the full size, whatever the
    // reduction; past this many pixels a file is not a picture anyone pasted.
    const int64_t pixels = int64_t(cinfo->image_width) * cinfo->image_height;
    if (pixels > kMaxJpegPixels || !plausiblePixels(pixels, job->bytes->size()))
        return;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    cinfo->scale_num = 1;
    cinfo->scale_denom = static_cast<unsigned>(reductionFor(job->size, job->maxSize));
    jpeg_calc_output_dimensions(cinfo);
    const int w = int(cinfo->output_width), h = int(cinfo->output_height);
    if (w <= 0 || h <= 0 || (job->budget && !job->budget->take(int64_t(w) * h)))
        return;
    job->image = QImage(w, h, QImage::Format_RGB888);
    if (job->image.isNull())
        return;
    job->image.fill(Qt::white);
    job->row.resize(size_t(w) * 4);
    jpeg_start_decompress(cinfo);
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = int(cinfo->output_scanline);
        JSAMPROW target = cmyk ? job->row.data() : job->image.scanLine(y);
        if (jpeg_read_scanlines(cinfo, &target, 1) != 1)
            break;
        if (cmyk)
            convertCmykRow(job->row.data(), job->image.scanLine(y), w, cinfo->saw_Adobe_marker);
    }
    jpeg_finish_decompress(cinfo);
}

bool readJpeg(JpegJob& job)
{
    jpeg_decompress_struct cinfo;
    JpegError err;
    jpeg_progress_mgr progress;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpegErrorExit;
    err.mgr.emit_message = jpegEmitMessage;
    err.mgr.output_message = jpegOutputMessage;
    err.message = job.message;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // What libjpeg keeps besides the output (whole-image buffers of multi-scan files above
    // all) is bounded by what the file holds as well as by a fixed ceiling.
    cinfo.mem->max_memory_to_use = long(std::min<int64_t>(kMaxJpegMemory, (16 << 20) + 256 * int64_t(job.bytes->size())));
    progress.progress_monitor = jpegProgress;
    cinfo.progress = &progress;
    runJpeg(&cinfo, &job);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
} // namespace

QImage decodeJpeg(const QByteArray& bytes, QSize maxSize, PictureBudget* budget, QString* message)
{
    JpegJob job;
    job.bytes = &bytes;
    job.maxSize = maxSize;
    job.budget = budget;
    job.message = message;
    readJpeg(job);
    return job.image;
}

QSize jpegSize(const QByteArray& bytes)
{
    JpegJob job;
    job.bytes = &bytes;
    job.headerOnly = true;
    readJpeg(job);
    return job.size;
}

} // namespace zorim
