/* The part of the HID minidriver interface (hidport.h in the Windows DDK) that the virtual
 * base station uses, declared from Microsoft's public documentation: mingw-w64 ships no
 * hidport.h, and its hidclass.h has placeholder values for the minidriver IOCTLs. */
#pragma once
#include <ntddk.h>

#define HID_REVISION 0x00000001
#define HID_REVISION_BCD 0x0100
#define HID_HID_DESCRIPTOR_TYPE 0x21
#define HID_REPORT_DESCRIPTOR_TYPE 0x22

#define HID_MINI_CTL_CODE(id) CTL_CODE(FILE_DEVICE_KEYBOARD, (id), METHOD_NEITHER, FILE_ANY_ACCESS)
#define IOCTL_HID_GET_DEVICE_DESCRIPTOR HID_MINI_CTL_CODE(0)
#define IOCTL_HID_GET_REPORT_DESCRIPTOR HID_MINI_CTL_CODE(1)
#define IOCTL_HID_READ_REPORT HID_MINI_CTL_CODE(2)
#define IOCTL_HID_WRITE_REPORT HID_MINI_CTL_CODE(3)
#define IOCTL_HID_GET_STRING HID_MINI_CTL_CODE(4)
#define IOCTL_HID_ACTIVATE_DEVICE HID_MINI_CTL_CODE(7)
#define IOCTL_HID_DEACTIVATE_DEVICE HID_MINI_CTL_CODE(8)
#define IOCTL_HID_GET_DEVICE_ATTRIBUTES HID_MINI_CTL_CODE(9)
/* Feature reports, as hidclass passes them on (buffered in, direct out). */
#define IOCTL_HID_SET_FEATURE CTL_CODE(FILE_DEVICE_KEYBOARD, 100, METHOD_IN_DIRECT, FILE_ANY_ACCESS)
#define IOCTL_HID_GET_FEATURE CTL_CODE(FILE_DEVICE_KEYBOARD, 100, METHOD_OUT_DIRECT, FILE_ANY_ACCESS)

typedef struct _HID_XFER_PACKET {
    PUCHAR reportBuffer;
    ULONG reportBufferLen;
    UCHAR reportId;
} HID_XFER_PACKET;

/* IOCTL_HID_GET_STRING's string ids: Windows numbers them 14, 15, 16; Wine's hidclass.sys
 * (8.0) sends 1, 2, 3, the values of the HID_STRING_TYPE enumeration. */
#define HID_STRING_ID_MANUFACTURER 14
#define HID_STRING_ID_PRODUCT 15
#define HID_STRING_ID_SERIAL 16
#define HID_STRING_TYPE_MANUFACTURER 1
#define HID_STRING_TYPE_PRODUCT 2
#define HID_STRING_TYPE_SERIAL 3

typedef struct _HID_DEVICE_EXTENSION {
    PDEVICE_OBJECT PhysicalDeviceObject;
    PDEVICE_OBJECT NextDeviceObject;
    PVOID MiniDeviceExtension;
} HID_DEVICE_EXTENSION;

typedef struct _HID_MINIDRIVER_REGISTRATION {
    ULONG Revision;
    PDRIVER_OBJECT DriverObject;
    PUNICODE_STRING RegistryPath;
    ULONG DeviceExtensionSize;
    BOOLEAN DevicesArePolled;
    UCHAR Reserved[3];
} HID_MINIDRIVER_REGISTRATION;

#pragma pack(push, 1)
typedef struct _HID_DESCRIPTOR {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdHID;
    UCHAR bCountry;
    UCHAR bNumDescriptors;
    struct {
        UCHAR bReportType;
        USHORT wReportLength;
    } DescriptorList[1];
} HID_DESCRIPTOR;
#pragma pack(pop)

typedef struct _HID_DEVICE_ATTRIBUTES {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
    USHORT Reserved[11];
} HID_DEVICE_ATTRIBUTES;

NTSTATUS NTAPI HidRegisterMinidriver(HID_MINIDRIVER_REGISTRATION* registration);
