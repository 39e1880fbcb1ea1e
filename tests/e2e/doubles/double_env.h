/* Scenario settings of the Wine-only OS doubles: read from the process environment at each call, so a test can
 * change them between cases with SetEnvironmentVariableA; counters are published the same way, because hid.dll
 * is unloaded (and its statics lost) after every use. */
#ifndef SW_DOUBLE_ENV_H
#define SW_DOUBLE_ENV_H

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The value of `name` in `buffer`; 0 when it is unset (or longer than the buffer). */
static inline int double_env_get(const char* name, char* buffer, DWORD size) {
    DWORD length = GetEnvironmentVariableA(name, buffer, size);
    if (length == 0 || length >= size) {
        buffer[0] = '\0';
        return 0;
    }
    return 1;
}

static inline unsigned long double_env_number(const char* name, int base, unsigned long fallback) {
    char value[64];
    if (!double_env_get(name, value, sizeof value))
        return fallback;
    return strtoul(value, NULL, base);
}

/* Whether `index` is listed in the comma-separated decimal list `name`. */
static inline int double_env_lists_index(const char* name, unsigned index) {
    char value[256];
    const char* cursor = value;
    if (!double_env_get(name, value, sizeof value))
        return 0;
    while (*cursor != '\0') {
        char* end = NULL;
        unsigned long listed = strtoul(cursor, &end, 10);
        if (end == cursor)
            return 0;
        if (listed == index)
            return 1;
        cursor = (*end == ',') ? end + 1 : end;
    }
    return 0;
}

/* The value given for `index` in a comma-separated "index:value" list, or `fallback`. */
static inline unsigned long double_env_indexed_number(const char* name, unsigned index, unsigned long fallback) {
    char value[256];
    const char* cursor = value;
    if (!double_env_get(name, value, sizeof value))
        return fallback;
    while (*cursor != '\0') {
        char* end = NULL;
        unsigned long listed = strtoul(cursor, &end, 10);
        unsigned long number;
        if (end == cursor || *end != ':')
            return fallback;
        cursor = end + 1;
        number = strtoul(cursor, &end, 10);
        if (end == cursor)
            return fallback;
        if (listed == index)
            return number;
        cursor = (*end == ',') ? end + 1 : end;
    }
    return fallback;
}

/* Adds `delta` to the decimal counter `name` (unset counts as 0). */
static inline void double_env_count(const char* name, long delta) {
    char value[32];
    long count = 0;
    if (double_env_get(name, value, sizeof value))
        count = strtol(value, NULL, 10);
    snprintf(value, sizeof value, "%ld", count + delta);
    SetEnvironmentVariableA(name, value);
}

#endif
