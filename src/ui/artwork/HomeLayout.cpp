// HomeLayout: the pixel plan of the Home page's diagram.
#include "ui/artwork/HomeLayout.h"

#include "core/DeviceConfigTable.h"

namespace velmar {

namespace {
// Columns of the plan, left to right.
constexpr int kInputHeadLeft = 10;
constexpr int kInputCaptionLeft = 32; // after the input connector icon
constexpr int kInputListLeft = 80;
constexpr int kInputBlocksLeft = 172;
constexpr int kBlockPitch = 58; // block width 48 and a 10-pixel arrow gap
constexpr int kMatrixFirstColumn = 430;
constexpr int kMatrixPitch = 30;
constexpr int kOutputBlocksLeft = 558;
constexpr int kOutputListLeft = kOutputBlocksLeft + 6 * kBlockPitch + 4;
constexpr int kOutputCaptionLeft = kOutputListLeft + 72 + 4;
constexpr int kOutputHeadRight = 1049;

// Rows: output rows every 76 pixels, input rows half-way between output pairs.
constexpr int kFirstOutputRowY = 84;
constexpr int kOutputRowPitch = 76;
constexpr int kHeadHeight = 40;

QRect centredOn(int left, int centreY, QSize size) {
    return QRect(left, centreY - size.height() / 2, size.width(), size.height());
}
} // namespace

int HomeLayout::outputRowY(int output) {
    return kFirstOutputRowY + output * kOutputRowPitch;
}

int HomeLayout::inputRowY(int input) {
    return (outputRowY(2 * input) + outputRowY(2 * input + 1)) / 2;
}

int HomeLayout::matrixColumnX(int input) {
    return kMatrixFirstColumn + input * kMatrixPitch;
}

QRect HomeLayout::inputCaption(int input) {
    return centredOn(kInputCaptionLeft, inputRowY(input), kCaptionSize);
}

QRect HomeLayout::inputLinkList(int input) {
    return centredOn(kInputListLeft, inputRowY(input), kLinkListSize);
}

QRect HomeLayout::inputBlock(int input, InputStage stage) {
    return centredOn(kInputBlocksLeft + int(stage) * kBlockPitch, inputRowY(input), kBlockSize);
}

QRect HomeLayout::outputBlock(int output, OutputStage stage) {
    return centredOn(kOutputBlocksLeft + int(stage) * kBlockPitch, outputRowY(output), kBlockSize);
}

QRect HomeLayout::outputLinkList(int output) {
    return centredOn(kOutputListLeft, outputRowY(output), kLinkListSize);
}

QRect HomeLayout::outputCaption(int output) {
    return centredOn(kOutputCaptionLeft, outputRowY(output), kCaptionSize);
}

QRect HomeLayout::matrixButton(int output, int input) {
    const QSize s = kMatrixButtonSize;
    return QRect(matrixColumnX(input) - s.width() / 2, outputRowY(output) - s.height() / 2, s.width(),
                 s.height());
}

QRect HomeLayout::inputHead(int input) {
    const int right = kInputListLeft + kLinkListSize.width() + 4;
    return QRect(kInputHeadLeft, inputRowY(input) - kHeadHeight / 2, right - kInputHeadLeft, kHeadHeight);
}

QRect HomeLayout::outputHead(int output) {
    const int left = kOutputListLeft - 4;
    return QRect(left, outputRowY(output) - kHeadHeight / 2, kOutputHeadRight - left, kHeadHeight);
}

QRect HomeLayout::section(Section s) {
    switch (s) {
    case Section::Inputs:
        return QRect(4, 6, 398, 667);
    case Section::Matrix:
        return QRect(408, 6, 134, 667);
    case Section::Outputs:
        return QRect(548, 6, 507, 667);
    }
    return {};
}

QRect HomeLayout::sectionTitle(Section s) {
    const QRect r = section(s);
    return QRect(r.left() + 1, r.top() + 1, r.width() - 2, 24);
}

int HomeLayout::inputCount(int deviceConfig) {
    return DeviceConfigInputCount(deviceConfig);
}

int HomeLayout::outputCount(int deviceConfig) {
    return DeviceConfigOutputCount(deviceConfig);
}

} // namespace velmar
