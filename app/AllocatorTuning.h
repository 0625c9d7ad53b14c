#pragma once

// Makes the C allocator give large blocks back to the system when they are freed. Call it
// once, before the players exist. False if the allocator refused the setting.
bool tuneAllocator();
