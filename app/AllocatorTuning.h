#pragma once

// Makes the C allocator give large blocks back to the system when they are freed, and keep its
// arenas, which hold freed memory, few. Call it once, before the players exist. False if the
// allocator refused a setting.
bool tuneAllocator();
