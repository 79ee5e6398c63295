// libjpeg's source manager over a stream source. It and its buffer live in
// the decompress object's permanent pool, so destroying the object frees them.
#include "framework/graphics/image/jpeg_stream_source.h"

#include <jerror.h>

#include "framework/graphics/image/image_stream_reading.h"

namespace {

constexpr size_t kJpegBufferSize = 4096;

struct JpegStreamSource {
    jpeg_source_mgr pub;
    JOCTET* buffer;
    boolean startOfFile;
    StreamSource source;
    int64_t end;  // the stream's length
};

JpegStreamSource* SourceOf(j_decompress_ptr cinfo) { return reinterpret_cast<JpegStreamSource*>(cinfo->src); }

void JpegInitSource(j_decompress_ptr cinfo) { SourceOf(cinfo)->startOfFile = TRUE; }

boolean JpegFillInputBuffer(j_decompress_ptr cinfo) {
    JpegStreamSource* src = SourceOf(cinfo);
    const int64_t here = StreamPosition(src->source);
    const int64_t left = here < 0 ? 0 : src->end - here;
    const size_t count = left <= 0 ? 0 : left < static_cast<int64_t>(kJpegBufferSize) ? static_cast<size_t>(left)
                                                                                      : kJpegBufferSize;
    if (count > 0 && ReadStreamBytes(src->source, src->buffer, count)) {
        src->pub.next_input_byte = src->buffer;
        src->pub.bytes_in_buffer = count;
        src->startOfFile = FALSE;
        return TRUE;
    }
    if (src->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    // The image ends where the data does: the library gets an end marker.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = 2;
    return TRUE;
}

void JpegSkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    JpegStreamSource* src = SourceOf(cinfo);
    while (count > static_cast<long>(src->pub.bytes_in_buffer)) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        JpegFillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void JpegTermSource(j_decompress_ptr) {}

}  // namespace

void JpegErrorExit(j_common_ptr cinfo) {
    longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

void SetJpegStreamSource(j_decompress_ptr cinfo, const StreamSource* source) {
    if (cinfo->src == nullptr) {
        auto* src = static_cast<JpegStreamSource*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JpegStreamSource)));
        src->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo),
                                                                      JPOOL_PERMANENT, kJpegBufferSize));
        cinfo->src = &src->pub;
    }
    JpegStreamSource* src = SourceOf(cinfo);
    src->pub.init_source = JpegInitSource;
    src->pub.fill_input_buffer = JpegFillInputBuffer;
    src->pub.skip_input_data = JpegSkipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = JpegTermSource;
    src->source = *source;
    src->end = StreamLength(*source);
    src->pub.next_input_byte = nullptr;
    src->pub.bytes_in_buffer = 0;
}
