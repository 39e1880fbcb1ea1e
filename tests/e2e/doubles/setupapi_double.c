/* setupapi.dll for Wine test runs: the four SetupDi calls of HID discovery answer from a scenario in the
 * environment (see README.md); every other export is forwarded to Wine's own setupapi, copied beside the exe as
 * setupapi_wine.dll, because Wine's user32 and gdi32 call into setupapi on their own. Never shipped. */
#define _SETUPAPI_ /* the functions below are defined here, not imported */
#include <windows.h>

#include <setupapi.h>

#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "double_env.h"

#define MAX_INTERFACES 16
#define SET_MAGIC 0x53574453u /* "SWDS" */

/* GUID_DEVINTERFACE_HID */
static const GUID hid_interface_class = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

static const char default_path[] = "\\\\.\\pipe\\hid#vid_3c9b&pid_5d17#sim0";

struct interface_set {
    DWORD magic;
    unsigned count;
    char paths[MAX_INTERFACES][MAX_PATH];
};

static struct interface_set* find_set(HDEVINFO handle) {
    struct interface_set* set = (struct interface_set*)handle;
    if (handle == NULL || handle == INVALID_HANDLE_VALUE || set->magic != SET_MAGIC)
        return NULL;
    return set;
}

/* The scenario's interface paths, '|'-separated, in enumeration order; "none" for no interface at all. */
static void load_paths(struct interface_set* set) {
    char list[MAX_INTERFACES * MAX_PATH];
    const char* cursor = list;
    if (!double_env_get("SW_DOUBLE_HID_PATHS", list, sizeof list)) {
        strcpy(set->paths[0], default_path);
        set->count = 1;
        return;
    }
    if (strcmp(list, "none") == 0)
        return;
    while (set->count < MAX_INTERFACES) {
        const char* bar = strchr(cursor, '|');
        size_t length = bar != NULL ? (size_t)(bar - cursor) : strlen(cursor);
        if (length >= MAX_PATH)
            length = MAX_PATH - 1;
        memcpy(set->paths[set->count], cursor, length);
        set->paths[set->count][length] = '\0';
        ++set->count;
        if (bar == NULL)
            break;
        cursor = bar + 1;
    }
}

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* class_guid, PCSTR enumerator, HWND parent, DWORD flags) {
    struct interface_set* set;
    (void)parent;
    if (double_env_number("SW_DOUBLE_CLASSDEVS_FAIL", 10, 0) != 0) {
        SetLastError(ERROR_INVALID_DATA);
        return INVALID_HANDLE_VALUE;
    }
    set = (struct interface_set*)calloc(1, sizeof *set);
    if (set == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    set->magic = SET_MAGIC;
    /* Only present HID interfaces are simulated: any other request gets an empty set. */
    if (class_guid != NULL && IsEqualGUID(class_guid, &hid_interface_class) && enumerator == NULL &&
        (flags & (DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) == (DIGCF_PRESENT | DIGCF_DEVICEINTERFACE) &&
        (flags & DIGCF_ALLCLASSES) == 0)
        load_paths(set);
    SetEnvironmentVariableA("SW_DOUBLE_OUT_DETAIL_FETCHES", "0");
    double_env_count("SW_DOUBLE_OUT_OPEN_SETS", 1);
    SetLastError(ERROR_SUCCESS);
    return (HDEVINFO)set;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO handle) {
    struct interface_set* set = find_set(handle);
    if (set == NULL) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    set->magic = 0;
    free(set);
    double_env_count("SW_DOUBLE_OUT_OPEN_SETS", -1);
    return TRUE;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO handle,
                                        PSP_DEVINFO_DATA device,
                                        const GUID* class_guid,
                                        DWORD index,
                                        PSP_DEVICE_INTERFACE_DATA data) {
    struct interface_set* set = find_set(handle);
    if (set == NULL) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    /* Filtering by device is not simulated. */
    if (device != NULL || class_guid == NULL || data == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    /* As on Windows, the record must be laid out for this build's bitness. */
    if (data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    if (!IsEqualGUID(class_guid, &hid_interface_class) || index >= set->count) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    data->InterfaceClassGuid = hid_interface_class;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = (ULONG_PTR)index + 1;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO handle,
                                             PSP_DEVICE_INTERFACE_DATA data,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                             DWORD detail_size,
                                             PDWORD required_size,
                                             PSP_DEVINFO_DATA device) {
    struct interface_set* set = find_set(handle);
    unsigned index;
    const char* path;
    DWORD needed;
    if (set == NULL) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (data == NULL || device != NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    if (data->Reserved == 0 || data->Reserved > set->count) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    index = (unsigned)(data->Reserved - 1);
    path = set->paths[index];
    needed = (DWORD)(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + strlen(path) + 1);

    if (detail == NULL) {
        if (detail_size != 0) {
            SetLastError(ERROR_INVALID_USER_BUFFER);
            return FALSE;
        }
        /* The size a real system reports, unless the scenario makes it report another one. */
        if (required_size != NULL)
            *required_size = (DWORD)double_env_indexed_number("SW_DOUBLE_DETAIL_SIZE", index, needed);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    /* The size field is checked against the fixed part of this build's layout, as Windows does. */
    if (detail_size < sizeof(detail->cbSize) || detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    double_env_count("SW_DOUBLE_OUT_DETAIL_FETCHES", 1);
    if (double_env_lists_index("SW_DOUBLE_DETAIL_FAIL", index)) {
        SetLastError(ERROR_NO_SUCH_DEVICE_INTERFACE);
        return FALSE;
    }
    if (detail_size < needed) {
        if (required_size != NULL)
            *required_size = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(detail->DevicePath, path, strlen(path) + 1);
    if (required_size != NULL)
        *required_size = needed;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
