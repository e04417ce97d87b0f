#pragma once
// The DXF writers of one shape, and the frame of a DXF R12 file.
//
// R12 output is text of one group code or value per line (TDxfR12Text), saved as it is.
// Its entities are LINE and CIRCLE only, all on one layer; outlines without an entity of
// their own are flattened into LINEs. R14 output goes through TDXFR14Writer, which takes
// drawing coordinates and flips y itself.
#include <QString>

#include <string>
#include <string_view>

namespace quillon {

class TQN_Path;
class TDXFR14Writer;

// The text of an R12 file as it grows: one group code or value per line, every line
// (the last one too) ended by CR LF. Every line is ASCII.
class TDxfR12Text {
 public:
  void add(std::string_view line) {
    FText.append(line);
    FText.append("\r\n");
  }
  const std::string &text() const { return FText; }

 private:
  std::string FText;
};

// The one layer of an exported R12 file.
inline constexpr const char *kDxfR12LayerName = "Layer1";

// Writes the shape to DxfR12 when it is given, otherwise to DxfR14 (exactly one of the two
// is given). DOTs, and stitching holes when ConvertHolesToDots is set, become circles of
// radius DotSize (mm). LayerName and FlipYAixis (negate every y) act on R12 only; R14 gets
// the layer named by the shape's line-type index, colour by layer and the shape's dash.
void addToDXF(const TQN_Path &shape, TDxfR12Text *DxfR12, TDXFR14Writer *DxfR14, bool ConvertHolesToDots,
              float DotSize, const QString &LayerName, bool FlipYAixis);

// The frame of an R12 file: the comment, the header and tables sections and the opening
// of the entities section; the tables section alone; and the end of the entities section
// with the end of file.
void writeDxfR12Header(TDxfR12Text &lines);
void writeDxfR12Tables(TDxfR12Text &lines);
void writeDxfR12Trailer(TDxfR12Text &lines);

}  // namespace quillon
