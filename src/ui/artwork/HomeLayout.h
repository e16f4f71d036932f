// HomeLayout: where the Home page's controls sit on its 1059 x 679 signal-flow background.
#pragma once

#include <QRect>
#include <QSize>

namespace velmar {

// One source of truth for the Home page: the backgrounds are drawn around these rectangles and the
// page places its controls on them, so a control always covers its block of the diagram.
//
// Input row k (0..3 = A..D), left to right: caption, link list, Mute, Gain, PEQ, Delay; its signal leaves
// the Delay block to the right and joins the vertical bus of its matrix column. Output row r (0..7 =
// 1..8): Gain, X-Over, PEQ, Comp., Delay, Mute, link list, caption; its line starts at the matrix.
// Matrix crosspoint (r, t) is the 19 x 19 button where output r's line meets input t's bus.
// Pure geometry; any thread.
class HomeLayout {
public:
    enum class InputStage { Mute, Gain, Peq, Delay };
    enum class OutputStage { Gain, XOver, Peq, Comp, Delay, Mute };
    enum class Section { Inputs, Matrix, Outputs };

    static constexpr QSize kPageSize{1059, 679};
    static constexpr QSize kBlockSize{48, 26};
    static constexpr QSize kMatrixButtonSize{19, 19};
    static constexpr QSize kLinkListSize{72, 24};
    static constexpr QSize kCaptionSize{44, 20};

    // Centre lines of the rows.
    static int inputRowY(int input);
    static int outputRowY(int output);
    // Centre x of input t's bus in the matrix.
    static int matrixColumnX(int input);

    static QRect inputCaption(int input);
    static QRect inputLinkList(int input);
    static QRect inputBlock(int input, InputStage stage);
    static QRect outputBlock(int output, OutputStage stage);
    static QRect outputLinkList(int output);
    static QRect outputCaption(int output);
    static QRect matrixButton(int output, int input);

    // The head cell of a row (caption and link list, with the connector icon), drawn as one unit.
    static QRect inputHead(int input);
    static QRect outputHead(int output);
    // The zones of the diagram and the title strip at the top of each.
    static QRect section(Section s);
    static QRect sectionTitle(Section s);

    // Channels present in a device configuration (3..7); other values count as 7.
    static int inputCount(int deviceConfig);
    static int outputCount(int deviceConfig);
};

} // namespace velmar
