/* What the virtual base station's minidriver and the program playing the base agree on:
 * the device's identity and the frames on the two pipes between them. C and C++. */
#pragma once

#define BASE_VENDOR_ID 0x0E5E
#define BASE_PRODUCT_ID 0x6611
#define BASE_VERSION 0x0100
#define BASE_HARDWARE_ID "root\\bridger_virtual_base"
#define BASE_DRIVER_FILE "bridger-base.sys"

#define BASE_REPORT_BYTES 48                      /* input and feature reports, no report id */
#define BASE_FRAME_BYTES (1 + BASE_REPORT_BYTES)  /* a type byte, then a report */
#define BASE_FRAME_READ 'R'                       /* down: the host waits for an input report */
#define BASE_FRAME_FEATURE 'F'                    /* down: the host set this feature report */
#define BASE_FRAME_INPUT 'I'                      /* up: the base's next input report */
#define BASE_RECONNECT_MS 100  /* how often the minidriver looks for the base's pipes */

/* The pipes as the minidriver opens them, and as the base creates them. */
#define BASE_PIPE_DOWN L"\\??\\pipe\\bridger-base-down"
#define BASE_PIPE_UP L"\\??\\pipe\\bridger-base-up"
#define BASE_PIPE_DOWN_WIN32 "\\\\.\\pipe\\bridger-base-down"
#define BASE_PIPE_UP_WIN32 "\\\\.\\pipe\\bridger-base-up"
