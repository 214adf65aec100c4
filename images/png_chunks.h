#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "images/pixel_image.h"
#include "platform/core/exception.h"

namespace lark {

class TPNGImage;
class TChunkList;

// The reader's and writer's specific texts.
namespace png_text {
inline constexpr char kInvalidHeader[] =
    "Invalid Portable Graphics Network image, it has an invalid file header.";
inline constexpr char kUnknownCritical[] =
    "The currently being loaded image contains critical(s) chunk(s) not reconized by the decoder.";
inline constexpr char kCorrupted[] = "Can't read the PNG image, it has corrupted data. ";
inline constexpr char kNoIHDR[] =
    "This PNG image is invalid, the IHDR chunk is either not present or it isn't the first chunk.";
inline constexpr char kNoData[] = "The current image being loaded has no data and could not be loaded.";
inline constexpr char kUnknownColorType[] = "Could not read the image because it has an unknown color type.";
inline constexpr char kInvalidBitDepth[] = "The image has a bit depth that its color type does not allow.";
inline constexpr char kNoPalette[] = "The current image requeries a palette but it is not avaliable.";
inline constexpr char kInvalidPalette[] = "The current image being loaded has an invalid palette!";
inline constexpr char kUnknownInterlace[] = "The image has an unknown interlace method.";
inline constexpr char kUnknownFilter[] =
    "The image could not be loaded because it uses an unknown set of filter types.";
inline constexpr char kTruncated[] = "The image data ends before the picture is complete.";
inline constexpr char kTooLarge[] = "The image is too large to be shown.";
inline constexpr char kIndexOutOfRange[] = "The chunk index especified is out of the range.";
inline constexpr char kChunkNotInList[] =
    "The especified chunk is not inside the chunk list containing the method being used. "
    "The funcion could not be completed.";
}  // namespace png_text

// Every failure of the PNG reader and writer: the message is the handler's
// heading followed by the specific text.
class EPNGImageException : public Exception {
 public:
  explicit EPNGImageException(const std::string& text);
};

// CRC-32 of a chunk's name and data, as stored after the chunk.
[[nodiscard]] uint32_t ChunkCRC(const std::string& type, const uint8_t* data, size_t size);

// One chunk of the file, kept in file order by the image's chunk list.
class TChunk {
 public:
  TChunk(TChunkList* owner, std::string type);
  virtual ~TChunk() = default;
  TChunk(const TChunk&) = delete;
  TChunk& operator=(const TChunk&) = delete;

  // Runs once after the whole file is read, in list order.
  virtual void Decode() {}
  virtual void Assign(const TChunk& source);
  // Appends the chunk (length, name, data, CRC) to `out`; only chunks whose
  // fourth letter is upper-case are written.
  virtual void SaveToStream(std::vector<uint8_t>& out);

  [[nodiscard]] TPNGImage& Image() const;

  TChunkList* Owner;
  std::vector<uint8_t> Data;
  std::string ChunkType;

 protected:
  void WriteChunk(std::vector<uint8_t>& out) const;
};

class TChunkIHDR : public TChunk {
 public:
  static constexpr const char* kName = "IHDR";
  explicit TChunkIHDR(TChunkList* owner);
  void SaveToStream(std::vector<uint8_t>& out) override;

  [[nodiscard]] uint32_t Width() const;
  [[nodiscard]] uint32_t Height() const;
  [[nodiscard]] int BitDepth() const { return Data[8]; }
  [[nodiscard]] int ColorType() const { return Data[9]; }
  [[nodiscard]] int CompressionMethod() const { return Data[10]; }
  [[nodiscard]] int FilterMethod() const { return Data[11]; }
  [[nodiscard]] int InterlaceMethod() const { return Data[12]; }
  void Set(uint32_t width, uint32_t height, int bitDepth, int colorType, int interlace);
};

class TChunkPLTE : public TChunk {
 public:
  static constexpr const char* kName = "PLTE";
  explicit TChunkPLTE(TChunkList* owner) : TChunk(owner, kName) {}
  void SaveToStream(std::vector<uint8_t>& out) override;
  // The entries, through the gamma table; raises for a length that is not a
  // multiple of 3 or holds more than 256 entries.
  [[nodiscard]] std::vector<TRGB> Entries() const;
};

class TChunkIDAT : public TChunk {
 public:
  static constexpr const char* kName = "IDAT";
  explicit TChunkIDAT(TChunkList* owner) : TChunk(owner, kName) {}
  void Decode() override;
  void SaveToStream(std::vector<uint8_t>& out) override;
};

class TChunkTRNS : public TChunk {
 public:
  static constexpr const char* kName = "tRNS";
  explicit TChunkTRNS(TChunkList* owner) : TChunk(owner, kName) {}
  void SaveToStream(std::vector<uint8_t>& out) override;
  // An RGB image's key colour: three 16-bit samples, cut to 8 bits as the
  // pixels are. False when the chunk is too short to hold them.
  [[nodiscard]] bool RGBColor(int bitDepth, TRGB& color) const;
  // A palette entry is see-through when its alpha is below half.
  [[nodiscard]] bool PaletteEntryTransparent(int index) const;
};

class TChunkGAMA : public TChunk {
 public:
  static constexpr const char* kName = "gAMA";
  explicit TChunkGAMA(TChunkList* owner) : TChunk(owner, kName) {}
  void Decode() override;
  [[nodiscard]] uint32_t Gamma() const;
  // Built by Decode when the value is usable; a gAMA after the image data
  // therefore leaves the pixels alone.
  [[nodiscard]] bool HasTables() const { return HasTables_; }
  [[nodiscard]] bool Identity() const { return Identity_; }
  std::array<uint8_t, 256> GammaTable{};
  std::array<uint8_t, 256> InverseTable{};

 private:
  bool HasTables_ = false;
  bool Identity_ = true;
};

class TChunkTEXT : public TChunk {
 public:
  static constexpr const char* kName = "tEXt";
  explicit TChunkTEXT(TChunkList* owner) : TChunk(owner, kName) {}
};

class TChunkIEND : public TChunk {
 public:
  static constexpr const char* kName = "IEND";
  explicit TChunkIEND(TChunkList* owner) : TChunk(owner, kName) {}
};

// The chunk of the registered class for `type`, or a plain TChunk.
[[nodiscard]] std::unique_ptr<TChunk> CreateChunk(TChunkList* owner, const std::string& type);

class TChunkList {
 public:
  explicit TChunkList(TPNGImage* owner) : Owner(owner) {}

  [[nodiscard]] int Count() const { return static_cast<int>(Items_.size()); }
  [[nodiscard]] TChunk& Item(int index) const;
  void Move(int index, int newIndex);
  TChunk& Add(std::unique_ptr<TChunk> chunk);
  void Insert(int index, std::unique_ptr<TChunk> chunk);
  template <class T>
  T& AddClass() { return static_cast<T&>(Add(std::make_unique<T>(this))); }
  void Remove(TChunk& chunk);
  void Clear() { Items_.clear(); }

  // The first chunk of class T, or -1 / nullptr.
  template <class T>
  [[nodiscard]] int IndexOfClass() const {
    for (size_t i = 0; i < Items_.size(); ++i)
      if (dynamic_cast<T*>(Items_[i].get())) return static_cast<int>(i);
    return -1;
  }
  template <class T>
  [[nodiscard]] T* Find() const {
    const int index = IndexOfClass<T>();
    return index < 0 ? nullptr : static_cast<T*>(Items_[index].get());
  }

  TPNGImage* Owner;

 private:
  void CheckIndex(int index) const;
  std::vector<std::unique_ptr<TChunk>> Items_;
};

}  // namespace lark
