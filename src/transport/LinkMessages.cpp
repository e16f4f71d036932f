// The link messages' texts.
#include "LinkMessages.h"

namespace velmar {

LinkMessageText LinkMessageFor(LinkMessage message, uint8_t languageFlag) {
    const bool chinese = languageFlag == 1;
    switch (message) {
    case LinkMessage::UnableToOpenComPort:
        return {"Unable to open COM-port", ""};
    case LinkMessage::DeviceDisconnect:
        return {chinese ? "设备断开联连" : "Device disconnect", "Warning"};
    case LinkMessage::DeviceNotFound:
        return {chinese ? "没找到设备,请检查是否连接好" : "Can't find the device, please check it",
                "Warning"};
    case LinkMessage::CantOpenWifi:
        return {chinese ? "不能打开网络" : "Can't open the wifi", ""};
    }
    return {"", ""};
}

} // namespace velmar
