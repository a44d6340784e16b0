#include "KoWindowMessages.h"

#include "KoWindows.h"

UINT g_KoNotifySwitchDriver = 0;
UINT g_KoGetXdcamExportInfo = 0;
UINT g_KoNotifyCheckXdcamSetting = 0;

void KoRegisterWindowMessages() {
    g_KoNotifySwitchDriver = RegisterWindowMessageA("KO_NOTIFY_SWITCH_DRIVER");
    g_KoGetXdcamExportInfo = RegisterWindowMessageA("KO_GET_XDCAM_EXPORT_INFO");
    g_KoNotifyCheckXdcamSetting = RegisterWindowMessageA("KO_NOTIFY_CHECK_XDCAM_SETTING");
}
