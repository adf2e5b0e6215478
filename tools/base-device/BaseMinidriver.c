/* The virtual base station: a HID minidriver (kernel mode, loaded by Wine's winedevice.exe
 * under hidclass.sys) that presents vendor 0x0E5E, product 0x6611 with 48-byte input and
 * feature reports and no report ids. What the device says and hears travels over two named
 * pipes served by the test program that plays the base (tools/e2e-driver):
 *   down (we write): 'R' + 48 zero bytes each time the host asks for an input report,
 *                    'F' + the 48 bytes of each feature report the host sets;
 *   up   (we read):  'I' + 48 bytes, one input report, sent only after an 'R'.
 * One system thread keeps the pipes connected and completes the host's pending read. */
#include <ntddk.h>

#include "tools/base-device/HidMinidriver.h"
#include "tools/base-device/BaseWire.h"

static const UCHAR kReportDescriptor[] = {
    0x06, 0x00, 0xFF,        /* usage page: vendor defined */
    0x09, 0x01,              /* usage 1 */
    0xA1, 0x01,              /* collection: application */
    0x15, 0x00,              /*   logical minimum 0 */
    0x26, 0xFF, 0x00,        /*   logical maximum 255 */
    0x75, 0x08,              /*   report size 8 bits */
    0x95, BASE_REPORT_BYTES, /*   report count */
    0x09, 0x01,              /*   usage 1 */
    0x81, 0x02,              /*   input: data, variable, absolute */
    0x95, BASE_REPORT_BYTES, /*   report count */
    0x09, 0x02,              /*   usage 2 */
    0xB1, 0x02,              /*   feature: data, variable, absolute */
    0xC0,                    /* end collection */
};

static const WCHAR kManufacturer[] = L"Bridger test bench";
static const WCHAR kProduct[] = L"Virtual DECT base station";
static const WCHAR kSerial[] = L"0001";

/* Shared by the one device that exists at a time and the pipe thread; guarded by g_lock. */
static KSPIN_LOCK g_lock;
static IRP* g_pendingRead;        /* the host's outstanding IOCTL_HID_READ_REPORT */
static BOOLEAN g_readAnnounced;   /* the base has been told about it */
/* The write end; only the pipe thread opens and closes it. Writers count themselves in
 * g_writers while they use it, so that it is closed only once they are done. Each frame goes
 * out in one write, whole, so writers need no lock among themselves (with a kernel mutex
 * here, a writer waiting in Wine 8.0 on the first load of the driver never woke). */
static HANDLE volatile g_down;
static LONG volatile g_writers;

static void CompleteIrp(IRP* irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
}

/* Sends one frame down; false when no base is listening. */
static BOOLEAN SendFrame(UCHAR type, const UCHAR* data, ULONG size) {
    UCHAR frame[BASE_FRAME_BYTES];
    IO_STATUS_BLOCK io;
    NTSTATUS status = STATUS_PIPE_DISCONNECTED;
    RtlZeroMemory(frame, sizeof frame);
    frame[0] = type;
    if (data) RtlCopyMemory(frame + 1, data, size < BASE_REPORT_BYTES ? size : BASE_REPORT_BYTES);
    InterlockedIncrement(&g_writers);
    {
        HANDLE down = g_down;
        if (down) status = ZwWriteFile(down, NULL, NULL, NULL, &io, frame, sizeof frame, NULL, NULL);
    }
    InterlockedDecrement(&g_writers);
    return NT_SUCCESS(status);
}

/* Tells the base that the host waits for a report, once per read. */
static void AnnounceRead(void) {
    KIRQL irql;
    BOOLEAN announce;
    KeAcquireSpinLock(&g_lock, &irql);
    announce = g_pendingRead && !g_readAnnounced;
    if (announce) g_readAnnounced = TRUE;
    KeReleaseSpinLock(&g_lock, irql);
    if (announce && !SendFrame(BASE_FRAME_READ, NULL, 0)) {
        KeAcquireSpinLock(&g_lock, &irql);
        g_readAnnounced = FALSE;  /* told again once a base connects */
        KeReleaseSpinLock(&g_lock, irql);
    }
}

static IRP* TakePendingRead(void) {
    KIRQL irql;
    IRP* irp;
    KeAcquireSpinLock(&g_lock, &irql);
    irp = g_pendingRead;
    g_pendingRead = NULL;
    g_readAnnounced = FALSE;
    KeReleaseSpinLock(&g_lock, irql);
    return irp;
}

static void DeliverInput(const UCHAR* report) {
    IRP* irp = TakePendingRead();
    IO_STACK_LOCATION* stack;
    ULONG room;
    if (!irp) return;  /* nobody asked: the report is lost, as on a bus nobody polls */
    stack = IoGetCurrentIrpStackLocation(irp);
    room = stack->Parameters.DeviceIoControl.OutputBufferLength;
    if (room < BASE_REPORT_BYTES || !irp->UserBuffer) {
        CompleteIrp(irp, STATUS_BUFFER_TOO_SMALL, 0);
        return;
    }
    RtlCopyMemory(irp->UserBuffer, report, BASE_REPORT_BYTES);
    CompleteIrp(irp, STATUS_SUCCESS, BASE_REPORT_BYTES);
}

static HANDLE OpenPipe(const WCHAR* name, ACCESS_MASK access) {
    UNICODE_STRING path;
    OBJECT_ATTRIBUTES attributes;
    IO_STATUS_BLOCK io;
    HANDLE pipe = NULL;
    RtlInitUnicodeString(&path, name);
    InitializeObjectAttributes(&attributes, &path, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwCreateFile(&pipe, access | SYNCHRONIZE, &attributes, &io, NULL, FILE_ATTRIBUTE_NORMAL, 0,
                                 FILE_OPEN, FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE, NULL, 0)))
        return NULL;
    return pipe;
}

static void Pause(LONG milliseconds) {
    LARGE_INTEGER interval;
    interval.QuadPart = -10000LL * milliseconds;
    KeDelayExecutionThread(KernelMode, FALSE, &interval);
}

/* Reads whole frames from the base until it goes away. */
static void ServeBase(HANDLE up) {
    UCHAR frame[BASE_FRAME_BYTES];
    ULONG have = 0;
    for (;;) {
        IO_STATUS_BLOCK io;
        if (!NT_SUCCESS(ZwReadFile(up, NULL, NULL, NULL, &io, frame + have, sizeof frame - have, NULL, NULL))) return;
        if (io.Information == 0) return;
        have += (ULONG)io.Information;
        if (have < sizeof frame) continue;
        have = 0;
        if (frame[0] == BASE_FRAME_INPUT) DeliverInput(frame + 1);
        AnnounceRead();
    }
}

static void NTAPI PipeThread(PVOID context) {
    (void)context;
    for (;;) {
        HANDLE up = OpenPipe(BASE_PIPE_UP, GENERIC_READ);
        HANDLE down = up ? OpenPipe(BASE_PIPE_DOWN, GENERIC_WRITE) : NULL;
        if (!up || !down) {
            if (up) ZwClose(up);
            Pause(BASE_RECONNECT_MS);
            continue;
        }
        g_down = down;
        AnnounceRead();  /* a read left waiting from before this base connected */
        ServeBase(up);
        g_down = NULL;
        while (g_writers) Pause(1);
        ZwClose(down);
        ZwClose(up);
        {
            KIRQL irql;
            KeAcquireSpinLock(&g_lock, &irql);
            g_readAnnounced = FALSE;
            KeReleaseSpinLock(&g_lock, irql);
        }
    }
}

static NTSTATUS CopyOut(IRP* irp, const void* data, ULONG size) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->Parameters.DeviceIoControl.OutputBufferLength < size || !irp->UserBuffer) return STATUS_BUFFER_TOO_SMALL;
    RtlCopyMemory(irp->UserBuffer, data, size);
    irp->IoStatus.Information = size;
    return STATUS_SUCCESS;
}

static NTSTATUS DeviceDescriptor(IRP* irp) {
    HID_DESCRIPTOR descriptor;
    RtlZeroMemory(&descriptor, sizeof descriptor);
    descriptor.bLength = sizeof descriptor;
    descriptor.bDescriptorType = HID_HID_DESCRIPTOR_TYPE;
    descriptor.bcdHID = HID_REVISION_BCD;
    descriptor.bNumDescriptors = 1;
    descriptor.DescriptorList[0].bReportType = HID_REPORT_DESCRIPTOR_TYPE;
    descriptor.DescriptorList[0].wReportLength = sizeof kReportDescriptor;
    return CopyOut(irp, &descriptor, sizeof descriptor);
}

static NTSTATUS Attributes(IRP* irp) {
    HID_DEVICE_ATTRIBUTES attributes;
    RtlZeroMemory(&attributes, sizeof attributes);
    attributes.Size = sizeof attributes;
    attributes.VendorID = BASE_VENDOR_ID;
    attributes.ProductID = BASE_PRODUCT_ID;
    attributes.VersionNumber = BASE_VERSION;
    return CopyOut(irp, &attributes, sizeof attributes);
}

static NTSTATUS String(IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    /* The string's id is the low word of the input "buffer" itself. */
    const ULONG id = (ULONG)(ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer & 0xFFFF;
    switch (id) {
    case HID_STRING_ID_MANUFACTURER:
    case HID_STRING_TYPE_MANUFACTURER: return CopyOut(irp, kManufacturer, sizeof kManufacturer);
    case HID_STRING_ID_PRODUCT:
    case HID_STRING_TYPE_PRODUCT: return CopyOut(irp, kProduct, sizeof kProduct);
    case HID_STRING_ID_SERIAL:
    case HID_STRING_TYPE_SERIAL: return CopyOut(irp, kSerial, sizeof kSerial);
    default: return STATUS_INVALID_PARAMETER;
    }
}

/* The packet is at UserBuffer, whichever of the two lengths the caller gave for it. */
static HID_XFER_PACKET* Packet(IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG in = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG out = stack->Parameters.DeviceIoControl.OutputBufferLength;
    if (!irp->UserBuffer || (in < sizeof(HID_XFER_PACKET) && out < sizeof(HID_XFER_PACKET))) return NULL;
    return (HID_XFER_PACKET*)irp->UserBuffer;
}

static NTSTATUS SetFeature(IRP* irp) {
    HID_XFER_PACKET* packet = Packet(irp);
    if (!packet || !packet->reportBuffer || packet->reportId != 0) return STATUS_INVALID_PARAMETER;
    if (!SendFrame(BASE_FRAME_FEATURE, packet->reportBuffer, packet->reportBufferLen)) return STATUS_DEVICE_NOT_CONNECTED;
    irp->IoStatus.Information = packet->reportBufferLen;
    return STATUS_SUCCESS;
}

static NTSTATUS GetFeature(IRP* irp) {
    /* The base has nothing to report this way: an all-zero feature report. */
    HID_XFER_PACKET* packet = Packet(irp);
    if (!packet || !packet->reportBuffer || packet->reportBufferLen < BASE_REPORT_BYTES) return STATUS_BUFFER_TOO_SMALL;
    RtlZeroMemory(packet->reportBuffer, BASE_REPORT_BYTES);
    irp->IoStatus.Information = BASE_REPORT_BYTES;
    return STATUS_SUCCESS;
}

static NTSTATUS QueueRead(IRP* irp) {
    KIRQL irql;
    BOOLEAN busy;
    KeAcquireSpinLock(&g_lock, &irql);
    busy = g_pendingRead != NULL;
    if (!busy) {
        IoMarkIrpPending(irp);
        g_pendingRead = irp;
        g_readAnnounced = FALSE;
    }
    KeReleaseSpinLock(&g_lock, irql);
    if (busy) return STATUS_DEVICE_BUSY;  /* hidclass keeps one read outstanding */
    AnnounceRead();
    return STATUS_PENDING;
}

static NTSTATUS NTAPI InternalIoctl(DEVICE_OBJECT* device, IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status;
    (void)device;
    irp->IoStatus.Information = 0;
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_GET_DEVICE_DESCRIPTOR: status = DeviceDescriptor(irp); break;
    case IOCTL_HID_GET_REPORT_DESCRIPTOR: status = CopyOut(irp, kReportDescriptor, sizeof kReportDescriptor); break;
    case IOCTL_HID_GET_DEVICE_ATTRIBUTES: status = Attributes(irp); break;
    case IOCTL_HID_GET_STRING: status = String(irp); break;
    case IOCTL_HID_READ_REPORT:
        status = QueueRead(irp);
        if (status == STATUS_PENDING) return status;
        break;
    case IOCTL_HID_SET_FEATURE: status = SetFeature(irp); break;
    case IOCTL_HID_GET_FEATURE: status = GetFeature(irp); break;
    case IOCTL_HID_ACTIVATE_DEVICE:
    case IOCTL_HID_DEACTIVATE_DEVICE: status = STATUS_SUCCESS; break;
    default: status = STATUS_NOT_SUPPORTED; break;
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI Pnp(DEVICE_OBJECT* device, IRP* irp) {
    HID_DEVICE_EXTENSION* ext = (HID_DEVICE_EXTENSION*)device->DeviceExtension;
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    switch (stack->MinorFunction) {
    case IRP_MN_SURPRISE_REMOVAL:
    case IRP_MN_REMOVE_DEVICE: {
        /* The host's read ends with the device. */
        IRP* read = TakePendingRead();
        if (read) CompleteIrp(read, STATUS_DELETE_PENDING, 0);
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    }
    case IRP_MN_START_DEVICE:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_STOP_DEVICE:
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    default:
        break;
    }
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(ext->NextDeviceObject, irp);
}

static NTSTATUS NTAPI Power(DEVICE_OBJECT* device, IRP* irp) {
    HID_DEVICE_EXTENSION* ext = (HID_DEVICE_EXTENSION*)device->DeviceExtension;
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(ext->NextDeviceObject, irp);
}

static NTSTATUS NTAPI AddDevice(DRIVER_OBJECT* driver, DEVICE_OBJECT* fdo) {
    (void)driver;
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT* driver, UNICODE_STRING* registryPath) {
    HID_MINIDRIVER_REGISTRATION registration;
    HANDLE thread;
    NTSTATUS status;

    KeInitializeSpinLock(&g_lock);
    driver->DriverExtension->AddDevice = AddDevice;
    driver->MajorFunction[IRP_MJ_PNP] = Pnp;
    driver->MajorFunction[IRP_MJ_POWER] = Power;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = InternalIoctl;
    /* No DriverUnload: the pipe thread lives as long as the process that loaded us. */

    RtlZeroMemory(&registration, sizeof registration);
    registration.Revision = HID_REVISION;
    registration.DriverObject = driver;
    registration.RegistryPath = registryPath;
    registration.DeviceExtensionSize = sizeof(ULONG_PTR);
    registration.DevicesArePolled = FALSE;
    status = HidRegisterMinidriver(&registration);
    if (!NT_SUCCESS(status)) return status;

    status = PsCreateSystemThread(&thread, THREAD_ALL_ACCESS, NULL, NULL, NULL, PipeThread, NULL);
    if (!NT_SUCCESS(status)) return status;
    ZwClose(thread);
    return STATUS_SUCCESS;
}
