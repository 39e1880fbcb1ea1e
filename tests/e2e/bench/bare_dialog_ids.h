#pragma once
// Resource IDs of the benchmark's bare dialog.

#define kBareDialogId 100
