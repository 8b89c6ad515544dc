// Whether a name leads to a file other than the one it names: what an
// elevated launcher checks before it writes where others may write.
#pragma once

// A name surrogate (symbolic link, junction, mount point) or a second name
// leads elsewhere; another reparse point (a cloud or deduplicated file) is
// the file itself.
inline int LeadsElsewhere(unsigned long attributes, unsigned long reparseTag, unsigned long links) {
    return ((attributes & 0x400) && (reparseTag & 0x20000000)) || links != 1;
}

// A name opened as itself that leads to a file not the launcher's own.
// Unknown reads as a link. A folder's link count means nothing.
int IsLink(void* handle, int folder);
