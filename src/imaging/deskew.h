#pragma once

// Skew: text lines that do not run level. The skew is found on a reduced
// ink mask of the page from the sharpness of its row profiles over a range
// of angles (Leptonica's sweep and binary search), and the page is rotated
// back with white brought in at the edges.
//
// Angles are in degrees, counter-clockwise as seen on the screen: a page
// whose lines rise to the right has a positive skew.

#include "dibunit/dib.h"
#include "imaging/dib_graphic.h"

namespace omniocr {

struct TSkew {
  double Angle = 0;       // of the text lines; 0 when none was found
  double Confidence = 0;  // Leptonica's score ratio; 0 when none was found
  bool Found = false;     // the angle is trustworthy and worth a rotation
};

// Skews of up to kSkewSearchRange degrees either way are found.
constexpr double kSkewSearchRange = 5.0;

TSkew FindSkew(const TDibGraphic& image);
// The same with the image's grey histogram (GreyHistogram) at hand.
TSkew FindSkew(const TDibGraphic& image, const THistogram& greyHistogram);

// Where the pixels of a rotated image came from: the source was framed by a
// white border (so that no corner is cut), then turned about the frame's
// centre.
struct TRotation {
  double Angle = 0;  // counter-clockwise, degrees
  int BorderLeft = 0, BorderTop = 0;
  int CentreX = 0, CentreY = 0;  // in the framed (and rotated) image
  int SourceWidth = 0, SourceHeight = 0;
  bool IsIdentity() const { return Angle == 0 && BorderLeft == 0 && BorderTop == 0; }
  // The source point of a point of the rotated image, and the other way
  // round (neither clipped).
  void ToSource(double x, double y, double& sourceX, double& sourceY) const;
  void FromSource(double sourceX, double sourceY, double& x, double& y) const;
};

// The image turned counter-clockwise by `degrees` about its centre, on a
// canvas just large enough to hold every corner, white outside the source.
// The result keeps the pixel format where Leptonica can rotate in it (1-bit
// black/white, grey, true colour); other images come back grey or true colour.
TDibGraphic RotateImage(const TDibGraphic& image, double degrees, TRotation* rotation = nullptr);
// The same for an image the caller gives up: its pixels are released as soon
// as they are no longer needed, which lowers the peak memory of a large page.
TDibGraphic RotateImage(TDibGraphic&& image, double degrees, TRotation* rotation = nullptr);

// Finds the skew and, when found, straightens the image in place.
struct TDeskewResult {
  TSkew Skew;
  TRotation Rotation;  // identity when the image was left alone
};
TDeskewResult DeskewImage(TDibGraphic& image);

}  // namespace omniocr
