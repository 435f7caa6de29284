// The decoder's C frames must never see a C++ exception: its error exit leaves them with longjmp
// back to the one setjmp in DecodeJPEG, and the exception is raised there, once the decompressor
// is destroyed. Everything DecodeJPEG builds lives in the caller's JPEGReadState, so the jump
// skips no destructor.
#include "jpeg_reader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "sysutils.h"

namespace {

// Bytes asked from the stream per fill of the decoder's input buffer.
constexpr size_t InputBufferSize = 4096;
// Scans a progressive picture may have. Real ones have about ten; the library reads any number,
// each over the whole picture, so a small hostile file could keep it busy for minutes.
constexpr int MaxScans = 1000;
// The scale answer with which only the header is read.
constexpr int kHeaderOnly = -1;
// Bytes of one block of coefficients in the decoder's whole-picture buffers (64 coefficients of 16
// bits), which a picture of several scans (progressive ones) needs whatever the output scale.
constexpr int64_t kCoefficientBlockBytes = DCTSIZE2 * sizeof(JCOEF);
// What those buffers may take beside the bitmap: three pictures of the budget. They live only while
// the picture is decoded, and with the bitmap (at most the budget) and the pictures already on
// screen they leave half of a 32-bit program's 2 GB free. A 48-megapixel photo takes 144 MB (4:2:0)
// or 288 MB (4:4:4); beyond 64 megapixels at 4:4:4 the picture is too large to be shown.
constexpr int64_t kCoefficientBudgetBytes = 3 * kPictureBudgetBytes;
// The decoder's other buffers (rows, tables), beside the coefficients.
constexpr int64_t kDecoderWorkBytes = int64_t(16) << 20;

struct JPEGErrorManager {
  jpeg_error_mgr pub;  // first: libjpeg sees only this part
  std::jmp_buf jump;
};

// The source over the class library stream, in the manner of libjpeg's own file source: an empty
// stream is an error, data that ends early is completed by an end-of-image marker with a warning.
struct JPEGStreamSource {
  jpeg_source_mgr pub;  // first: libjpeg sees only this part
  TStream* stream;
  int64_t available;  // the bytes the stream holds from where the picture starts
  std::exception_ptr streamError;  // an exception of the stream, raised again after the jump
  bool startOfFile;
  JOCTET buffer[InputBufferSize];
};

struct JPEGReadState {
  jpeg_decompress_struct cinfo{};
  JPEGErrorManager err{};
  jpeg_progress_mgr progress{};
  JPEGStreamSource source{};
  bool created = false;
  std::unique_ptr<TBitmap> bitmap;
  std::vector<JSAMPLE> row;  // a row of four-channel samples when CMYK is converted here
  bool cmyk = false;
  int xres = 0, yres = 0;
  bool haveRes = false;
  int imageWidth = 0, imageHeight = 0;  // the picture's own size, before any scaling

  ~JPEGReadState() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JPEGErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}
void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = 0; }
void ResetErrorManager(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

// Too many scans count as invalid progression parameters.
void ProgressMonitor(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (cinfo->is_decompressor && d->input_scan_number > MaxScans) ERREXIT(cinfo, JERR_BAD_PROGRESSION);
}

void InitSource(j_decompress_ptr cinfo) {
  reinterpret_cast<JPEGStreamSource*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<JPEGStreamSource*>(cinfo->src);
  int64_t n = 0;
  bool failed = false;
  try {
    n = src->stream->Read(src->buffer, int64_t(InputBufferSize));
  } catch (...) {
    src->streamError = std::current_exception();
    failed = true;
  }
  // The jump happens outside the handler, so no exception object is left behind.
  if (failed) ERREXIT(cinfo, JERR_FILE_READ);
  if (n <= 0) {
    if (src->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    n = 2;
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = size_t(n);
  src->startOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  auto* src = reinterpret_cast<JPEGStreamSource*>(cinfo->src);
  if (count <= 0) return;
  while (count > long(src->pub.bytes_in_buffer)) {
    count -= long(src->pub.bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  src->pub.next_input_byte += count;
  src->pub.bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

// CMYK samples to blue-green-red. Adobe's files (the usual ones) store the inks inverted, 255
// meaning no ink; the others store them as they are.
void CMYKToBGR(const JSAMPLE* in, uint8_t* out, int width, bool inverted) {
  for (int x = 0; x < width; ++x, in += 4, out += 3) {
    int c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) {
      c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k;
    }
    out[0] = uint8_t((y * k + 127) / 255);
    out[1] = uint8_t((m * k + 127) / 255);
    out[2] = uint8_t((c * k + 127) / 255);
  }
}

// Blocks of coefficients of all components, each component's rounded up to whole MCUs as the
// decoder keeps them.
int64_t CoefficientBlocks(const jpeg_decompress_struct& cinfo) {
  int64_t blocks = 0;
  for (int c = 0; c < cinfo.num_components; ++c) {
    const jpeg_component_info& comp = cinfo.comp_info[c];
    const int64_t w = comp.width_in_blocks, h = comp.height_in_blocks;
    const int64_t hs = comp.h_samp_factor > 0 ? comp.h_samp_factor : 1, vs = comp.v_samp_factor > 0 ? comp.v_samp_factor : 1;
    blocks += (w + hs - 1) / hs * hs * ((h + vs - 1) / vs * vs);
  }
  return blocks;
}

// Whether the data can fill the picture. A Huffman-coded scan spends at least one bit on every
// block (the code of its first coefficient; a sequential scan one more for the end of the block),
// so a file of fewer bytes than blocks / 8 cannot hold a picture of that many blocks. Arithmetic
// coding can say a blank block in less than a bit and is left to the budget.
bool DataCanFill(const jpeg_decompress_struct& cinfo, int64_t available) {
  if (cinfo.arith_code) return true;
  int64_t blocks = 0;
  for (int c = 0; c < cinfo.num_components; ++c)
    blocks += int64_t(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
  return available >= blocks / 8;
}

// Returns 0 when the picture is decoded, else the message code of the decoder's error (or of the
// bitmap's refusal, which is then kept in bitmapError).
int DecodeJPEG(JPEGReadState& s, int64_t maxPixels, std::exception_ptr& bitmapError,
               const TJPEGScaleChooser* chooseScale = nullptr) {
  jpeg_decompress_struct* cinfo = &s.cinfo;
  if (setjmp(s.err.jump)) return s.err.pub.msg_code ? s.err.pub.msg_code : -1;

  cinfo->err = jpeg_std_error(&s.err.pub);
  s.err.pub.error_exit = ErrorExit;
  s.err.pub.emit_message = EmitMessage;
  s.err.pub.output_message = OutputMessage;
  s.err.pub.format_message = FormatMessage;
  s.err.pub.reset_error_mgr = ResetErrorManager;
  jpeg_create_decompress(cinfo);
  s.created = true;
  s.progress.progress_monitor = ProgressMonitor;
  cinfo->progress = &s.progress;

  s.source.pub.init_source = InitSource;
  s.source.pub.fill_input_buffer = FillInputBuffer;
  s.source.pub.skip_input_data = SkipInputData;
  s.source.pub.resync_to_restart = jpeg_resync_to_restart;
  s.source.pub.term_source = TermSource;
  cinfo->src = &s.source.pub;

  jpeg_read_header(cinfo, TRUE);
  // A declaration the data cannot fill is refused before anything of the picture is allocated.
  if (!DataCanFill(*cinfo, s.source.available)) ERREXIT(cinfo, JERR_INPUT_EOF);

  switch (cinfo->density_unit) {
    case 0:
    case 1:
      s.xres = cinfo->X_density;
      s.yres = cinfo->Y_density;
      s.haveRes = true;
      break;
    case 2:
      s.xres = int(cinfo->X_density * 2.54);
      s.yres = int(cinfo->Y_density * 2.54);
      s.haveRes = true;
      break;
    default:
      break;
  }

  s.cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = s.cmyk ? JCS_CMYK : JCS_EXT_BGR;

  s.imageWidth = int(cinfo->image_width);
  s.imageHeight = int(cinfo->image_height);
  if (chooseScale && *chooseScale) {
    const int denom = (*chooseScale)(s.imageWidth, s.imageHeight);
    if (denom == kHeaderOnly) return 0;
    if (denom == 2 || denom == 4 || denom == 8) {
      cinfo->scale_num = 1;
      cinfo->scale_denom = unsigned(denom);
    }
  }
  // The bitmap is made (and a hostile size refused) before the decoder allocates its buffers.
  jpeg_calc_output_dimensions(cinfo);
  const int64_t coefficientBytes =
      jpeg_has_multiple_scans(cinfo) ? CoefficientBlocks(*cinfo) * kCoefficientBlockBytes : 0;
  try {
    const int64_t pixels = int64_t(cinfo->output_width) * cinfo->output_height;
    if (pixels > maxPixels || pixels > kMaxPicturePixels) throw EInvalidGraphic("Bild zu gro\xDF");
    // A picture of several scans whose coefficients do not fit their budget cannot be decoded at
    // any scale.
    if (coefficientBytes > kCoefficientBudgetBytes) throw EPictureTooLarge(s.imageWidth, s.imageHeight);
    s.bitmap.reset(new TBitmap);
    s.bitmap->SetPixelFormat(pf24bit);
    // Every row is written by the decoder (a picture whose data ends early is completed by it).
    s.bitmap->SetSizeUncleared(int(cinfo->output_width), int(cinfo->output_height));
    if (s.cmyk) s.row.resize(size_t(cinfo->output_width) * 4);
  } catch (...) {
    bitmapError = std::current_exception();
  }
  if (bitmapError) return -1;

  // The decoder's whole-picture buffers (the coefficients of a picture of several scans) get what
  // they need within their own budget, the other buffers what the bitmap leaves of the picture
  // budget; a picture that needs more fails like any decoder error (JERR_NO_BACKING_STORE), since
  // the decoder has no temporary files to spill to.
  cinfo->mem->max_memory_to_use =
      long(std::max<int64_t>(coefficientBytes + kDecoderWorkBytes, kPictureBudgetBytes - int64_t(s.bitmap->ImageSize())));
  jpeg_start_decompress(cinfo);
  while (cinfo->output_scanline < cinfo->output_height) {
    uint8_t* line = s.bitmap->ScanLine(int(cinfo->output_scanline));
    JSAMPROW rows[1] = {s.cmyk ? s.row.data() : line};
    // The stream source never suspends, so a row always arrives; should none, finishing fails.
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) break;
    if (s.cmyk) CMYKToBGR(s.row.data(), line, int(cinfo->output_width), cinfo->saw_Adobe_marker);
  }
  jpeg_finish_decompress(cinfo);
  return 0;
}

}  // namespace

void ReadJPEGSize(TStream& Stream, int& Width, int& Height) {
  int x = 0, y = 0;
  std::unique_ptr<TBitmap> none(
      ReadJPEGStreamScaled(Stream, x, y, [](int, int) { return kHeaderOnly; }, Width, Height));
}

String JPEGErrorText(int MessageCode) {
  return "unrecognized JPeg - " + Format("JPEG error #%d", MessageCode);
}

TBitmap* ReadJPEGStream(TStream& Stream, int& XResolution, int& YResolution, int64_t MaxPixels) {
  int width = 0, height = 0;
  return ReadJPEGStreamScaled(Stream, XResolution, YResolution, TJPEGScaleChooser(), width, height, MaxPixels);
}

TBitmap* ReadJPEGStreamScaled(TStream& Stream, int& XResolution, int& YResolution, const TJPEGScaleChooser& Scale,
                              int& Width, int& Height, int64_t MaxPixels) {
  auto s = std::make_unique<JPEGReadState>();
  s->source.stream = &Stream;
  s->source.available = std::max<int64_t>(0, Stream.Size() - Stream.Position());
  std::exception_ptr bitmapError;
  int code = DecodeJPEG(*s, MaxPixels, bitmapError, &Scale);
  Width = s->imageWidth;
  Height = s->imageHeight;
  if (bitmapError) std::rethrow_exception(bitmapError);
  if (s->source.streamError) std::rethrow_exception(s->source.streamError);
  if (code != 0) throw EInvalidGraphic(JPEGErrorText(code));
  if (!s->bitmap) return nullptr;  // the header only
  if (s->haveRes) {
    XResolution = s->xres;
    YResolution = s->yres;
  }
  return s->bitmap.release();
}
