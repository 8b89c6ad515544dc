// The link check over an open handle.
#include "base/links.h"

#include <windows.h>

int IsLink(void* handle, int folder) {
    static_assert(FILE_ATTRIBUTE_REPARSE_POINT == 0x400, "the attribute LeadsElsewhere reads");
    FILE_STANDARD_INFO standard = {};
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    return !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) ||
           !GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) ||
           LeadsElsewhere(tag.FileAttributes, tag.ReparseTag, folder ? 1 : standard.NumberOfLinks);
}
