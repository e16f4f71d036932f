// The editor's bitmaps, drawn in code: one function per bitmap number, each image made once and cached.
#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>

namespace velmar::artwork {

// Every function returns the same (implicitly shared) image on every call. Fader tracks and thumbs are
// ARGB with a fully transparent top-left pixel, so the faders' colour key taken from pixel (0, 0) leaves
// out exactly the transparent background. Buttons, meter segments and backgrounds are opaque.
// Call only on the user-interface thread after the QApplication exists (text needs the font database).

// Fader tracks (width x height) and the thumb-centre travel they are drawn for.
QImage channelDelayTrack130(); // 20 x 168, Input/Output page delay, margins 3,0,0,1: S 10, L 146
QImage delayPageTrack300();    // 18 x 215, Delay page, margins 1,0,0,1: S 12, L 190
QImage channelGainTrack450();  // 25 x 168, Input/Output page gain, margins 8,0,0,1: S 10, L 146
QImage gainPageTrack451();     // 39 x 255, Gain page, margins 22,0,0,1: S 12, L 230
QImage geqTrack464();          // 30 x 264, Graphic EQ page, margins 8,0,0,1: S 10, L 242
// The Gain and Delay page tracks drawn taller, for a page with room to spare: the same width, margins
// and scale, `height` pixels tall (never shorter than 451 and 300).
QImage gainPageTrack(int height);
QImage delayPageTrack(int height);

// Fader thumbs (caps); the active image is shown while the thumb is dragged.
QImage smallDelayThumb437();       // 14 x 21, Input/Output page delay
QImage smallDelayThumbActive438(); // 14 x 21
QImage smallThumb439();            // 14 x 21, Input/Output page gain and Graphic EQ bands
QImage smallThumbActive440();      // 14 x 21
QImage gainPageThumb452();         // 16 x 24
QImage gainPageThumbActive453();   // 16 x 24
QImage delayPageThumb454();        // 16 x 24
QImage delayPageThumbActive455();  // 16 x 24

// Level-meter segments, 21 x 13.
QImage meterGreenLit441();
QImage meterRedLit442();
QImage meterYellowLit443();
QImage meterGreenUnlit456();
QImage meterYellowUnlit457();
QImage meterRedUnlit458();

// Channel switches, 60 x 25. The image shows the state the channel is in.
QImage soundMuted419();       // soundOn 0: crossed-out speaker on red
QImage soundOn420();          // soundOn 1: sounding speaker on green
QImage polarityInverted421(); // polarity 0: the minus sign, amber
QImage polarityNormal422();   // polarity 1: the plus sign

// Routing-matrix crosspoints, 19 x 19: the input's letter, grey when the input does not feed the output,
// green when it does.
QImage matrixGreyA425();
QImage matrixGreyB426();
QImage matrixGreyC427();
QImage matrixGreyD428();
QImage matrixGreenA429();
QImage matrixGreenB430();
QImage matrixGreenC431();
QImage matrixGreenD432();

// Connection button (66 x 22) and link indicators (66 x 22): off shows a dark lamp, on a lit one.
QImage connectOn315();
QImage connectOff316();
QImage serialOff444();
QImage serialOn445();
QImage usbOff446();
QImage usbOn447();
QImage tcpOff448();
QImage tcpOn449();

// Home page backgrounds, 1059 x 679: the signal-flow diagram of each device configuration, laid out
// by HomeLayout so that the page's controls sit on their places in the drawing.
QImage homeBackground2In4Out433(); // configuration 3
QImage homeBackground2In6Out434(); // configuration 4
QImage homeBackground3In6Out435(); // configuration 5
QImage homeBackground4In6Out467(); // configuration 6
QImage homeBackground4In8Out468(); // configuration 7

// Lookups for code that works with bitmap numbers (the controls' SetSkin/SetBitmaps by number).
// image() returns a null image for a number that has no artwork; pixmap() the same as a pixmap, kept
// in QPixmapCache (user-interface thread only).
QImage image(int bitmapId);
QPixmap pixmap(int bitmapId);
QList<int> bitmapIds();

// Convenience: the matrix image for output-independent input t (0..3) in either state, and the Home
// background number of a device configuration (3..7; 0 for any other).
int matrixBitmapId(int input, bool routed);
int homeBackgroundId(int deviceConfig);

} // namespace velmar::artwork
