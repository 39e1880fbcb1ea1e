/* hid.dll for Wine test runs: the HID class identifier, and capabilities whose report lengths and status come
 * from the scenario in the environment (see README.md). Wine's own hid.dll would refuse the named pipe that
 * stands in for the device. Never shipped. */
#include <windows.h>

#include <hidsdi.h>

#include <stdlib.h>

#include "double_env.h"

#define PREPARSED_MAGIC 0x53574850u /* "SWHP" */
#define HIDP_STATUS_SUCCESS_VALUE ((NTSTATUS)0x00110000)
#define HIDP_STATUS_INVALID_PREPARSED_DATA_VALUE ((NTSTATUS)0xC0110001)

struct preparsed {
    DWORD magic;
    HANDLE device;
};

static struct preparsed* find_preparsed(PHIDP_PREPARSED_DATA data) {
    struct preparsed* preparsed = (struct preparsed*)data;
    if (preparsed == NULL || preparsed->magic != PREPARSED_MAGIC)
        return NULL;
    return preparsed;
}

void NTAPI HidD_GetHidGuid(LPGUID guid) {
    /* GUID_DEVINTERFACE_HID */
    static const GUID hid_interface_class = {
        0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    *guid = hid_interface_class;
}

BOOLEAN NTAPI HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* data) {
    struct preparsed* preparsed;
    /* Only a handle that is open now has capabilities. */
    if (device == NULL || device == INVALID_HANDLE_VALUE || GetFileType(device) == FILE_TYPE_UNKNOWN) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (double_env_number("SW_DOUBLE_PREPARSED_FAIL", 10, 0) != 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    preparsed = (struct preparsed*)calloc(1, sizeof *preparsed);
    if (preparsed == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    preparsed->magic = PREPARSED_MAGIC;
    preparsed->device = device;
    *data = (PHIDP_PREPARSED_DATA)preparsed;
    double_env_count("SW_DOUBLE_OUT_LIVE_PREPARSED", 1);
    return TRUE;
}

BOOLEAN NTAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) {
    struct preparsed* preparsed = find_preparsed(data);
    if (preparsed == NULL)
        return FALSE;
    preparsed->magic = 0;
    free(preparsed);
    double_env_count("SW_DOUBLE_OUT_LIVE_PREPARSED", -1);
    return TRUE;
}

NTSTATUS NTAPI HidP_GetCaps(PHIDP_PREPARSED_DATA data, PHIDP_CAPS caps) {
    char lengths[64];
    unsigned long input = 65;
    unsigned long output = 65;
    if (find_preparsed(data) == NULL || caps == NULL)
        return HIDP_STATUS_INVALID_PREPARSED_DATA_VALUE;
    if (double_env_get("SW_DOUBLE_CAPS", lengths, sizeof lengths)) {
        char* end = NULL;
        input = strtoul(lengths, &end, 10);
        output = (*end == ',') ? strtoul(end + 1, NULL, 10) : 0;
    }
    /* Every field filled, with values unlike the report lengths, so that a reader of the wrong field notices. */
    memset(caps, 0, sizeof *caps);
    caps->Usage = 0x0001;
    caps->UsagePage = 0xFF00;
    caps->InputReportByteLength = (USHORT)input;
    caps->OutputReportByteLength = (USHORT)output;
    caps->FeatureReportByteLength = 0x0BAD;
    caps->NumberLinkCollectionNodes = 1;
    caps->NumberInputValueCaps = 1;
    caps->NumberOutputValueCaps = 1;
    return (NTSTATUS)double_env_number("SW_DOUBLE_CAPS_STATUS", 16, (unsigned long)HIDP_STATUS_SUCCESS_VALUE);
}
