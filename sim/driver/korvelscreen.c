/* The simulated touchscreen driver. It answers the touch control device
   \\.\KORVELUSB the way the programs expect of the real driver, keeps everything it
   was told in one state record, and offers that record to tests through a second
   device, \\.\KORVELSIM, where touches are queued and failures injected. There is no
   hardware: a touch exists only once a test has queued it. */
#include <ddk/wdm.h>

#include "../request_names.h"

/* "Krvl" as pool tools show the tag. */
#define KORVEL_POOL_TAG 0x6C76724Bu

/* Room for the header and one 4-byte value: anything longer overflows the buffer
   and is not a REG_DWORD that could be adopted anyway. */
typedef union DwordValueBuffer {
    KEY_VALUE_PARTIAL_INFORMATION info;
    UCHAR bytes[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG)];
} DwordValueBuffer;

typedef struct StoredParameter {
    const WCHAR* name;
    uint32_t low;
    uint32_t high;
    uint32_t* field;
} StoredParameter;

#define STORED_PARAMETER_COUNT 12

static PDEVICE_OBJECT touchDevice;
static PDEVICE_OBJECT simDevice;
static UNICODE_STRING touchDeviceName = RTL_CONSTANT_STRING(L"\\Device\\KorvelUsb0");
static UNICODE_STRING touchLinkName = RTL_CONSTANT_STRING(L"\\??\\KORVELUSB");
static UNICODE_STRING simDeviceName = RTL_CONSTANT_STRING(L"\\Device\\KorvelSim0");
static UNICODE_STRING simLinkName = RTL_CONSTANT_STRING(L"\\??\\KORVELSIM");

/* The service's Parameters key, built in DriverEntry because the RegistryPath given
   there does not outlive the call. */
static UNICODE_STRING parametersPath;

/* Everything below is guarded by stateLock: requests arrive on several threads. */
static KMUTEX stateLock;
static SimState state;
static SimTouch touchQueue[SIM_TOUCH_QUEUE_SIZE];
static ULONG queueHead;

/* The twelve values of the Parameters key with the range each must lie in to be
   adopted, and the state field it lands in. The calibration fields are signed but
   hold 0..4096, so they are compared and stored as unsigned like the others. */
static const StoredParameter storedParameters[STORED_PARAMETER_COUNT] = {
    {L"XLow", 0, CALIBRATION_READING_MAX, (uint32_t*)&state.calibration.XLow},
    {L"XHigh", 0, CALIBRATION_READING_MAX, (uint32_t*)&state.calibration.XHigh},
    {L"YLow", 0, CALIBRATION_READING_MAX, (uint32_t*)&state.calibration.YLow},
    {L"YHigh", 0, CALIBRATION_READING_MAX, (uint32_t*)&state.calibration.YHigh},
    {L"SwapXY", 0, 1, &state.calibration.SwapXY},
    {L"BeepMode", 0, 2, &state.beep_mode},
    {L"BeepFreq", 1000, 5000, &state.beep_freq},
    {L"BeepTime", 32, 512, &state.beep_time},
    {L"MouseMode", 0, MOUSE_MODE_MAX, &state.mouse_mode},
    {L"ButtonMode", 0, 2, &state.button_mode},
    {L"DragDelay", 0, 1500, &state.drag_delay},
    {L"DblClkRegion", 5, 100, &state.dblclk_region},
};

static void LockState(void)
{
    KeWaitForSingleObject(&stateLock, Executive, KernelMode, FALSE, NULL);
}

static void UnlockState(void)
{
    KeReleaseMutex(&stateLock, FALSE);
}

/* Caller holds stateLock, except in DriverEntry before any device exists. */
static void SetPowerOnState(void)
{
    RtlZeroMemory(&state, sizeof(state));
    state.mouse_mode = SIM_POWER_ON_MOUSE_MODE;
    state.beep_mode = SIM_POWER_ON_BEEP_MODE;
    state.beep_freq = SIM_POWER_ON_BEEP_FREQ;
    state.beep_time = SIM_POWER_ON_BEEP_TIME;
    state.enabled = SIM_POWER_ON_ENABLED;
    state.calibration.XLow = SIM_POWER_ON_X_LOW;
    state.calibration.YLow = SIM_POWER_ON_Y_LOW;
    state.calibration.XHigh = SIM_POWER_ON_X_HIGH;
    state.calibration.YHigh = SIM_POWER_ON_Y_HIGH;
    state.calibration.SwapXY = SIM_POWER_ON_SWAP_XY;
    state.button_mode = SIM_POWER_ON_BUTTON_MODE;
    state.drag_delay = SIM_POWER_ON_DRAG_DELAY;
    state.dblclk_region = SIM_POWER_ON_DBLCLK_REGION;
    queueHead = 0;
}

static LONG RequestSlot(ULONG code)
{
    LONG slot;
    for (slot = 0; slot < SIM_REQUEST_KINDS; ++slot) {
        if (SIM_REQUEST_NAMES[slot].code == code) {
            return slot;
        }
    }
    return -1;
}

/* Reads the stored values into found/values without touching the state, so that
   no registry I/O happens under stateLock. A missing key leaves every value
   unfound and is not an error. */
static NTSTATUS ReadStoredParameters(BOOLEAN found[STORED_PARAMETER_COUNT], ULONG values[STORED_PARAMETER_COUNT])
{
    OBJECT_ATTRIBUTES attributes;
    HANDLE key;
    NTSTATUS status;
    ULONG index;

    for (index = 0; index < STORED_PARAMETER_COUNT; ++index) {
        found[index] = FALSE;
        values[index] = 0;
    }
    InitializeObjectAttributes(&attributes, &parametersPath, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    status = ZwOpenKey(&key, KEY_READ, &attributes);
    if (status == STATUS_OBJECT_NAME_NOT_FOUND || status == STATUS_OBJECT_PATH_NOT_FOUND) {
        return STATUS_SUCCESS;
    }
    if (!NT_SUCCESS(status)) {
        return status;
    }
    for (index = 0; index < STORED_PARAMETER_COUNT; ++index) {
        UNICODE_STRING name;
        DwordValueBuffer buffer;
        ULONG length = 0;
        ULONG value;

        RtlInitUnicodeString(&name, storedParameters[index].name);
        status = ZwQueryValueKey(key, &name, KeyValuePartialInformation, &buffer, sizeof(buffer), &length);
        if (!NT_SUCCESS(status) || buffer.info.Type != REG_DWORD || buffer.info.DataLength != sizeof(ULONG)) {
            continue;
        }
        RtlCopyMemory(&value, buffer.info.Data, sizeof(value));
        if (value >= storedParameters[index].low && value <= storedParameters[index].high) {
            found[index] = TRUE;
            values[index] = value;
        }
    }
    ZwClose(key);
    return STATUS_SUCCESS;
}

/* Caller holds stateLock, except in DriverEntry before any device exists. */
static void AdoptStoredParameters(const BOOLEAN found[STORED_PARAMETER_COUNT],
                                  const ULONG values[STORED_PARAMETER_COUNT])
{
    ULONG index;
    for (index = 0; index < STORED_PARAMETER_COUNT; ++index) {
        if (found[index]) {
            *storedParameters[index].field = values[index];
        }
    }
}

static NTSTATUS ReloadSettings(void)
{
    BOOLEAN found[STORED_PARAMETER_COUNT];
    ULONG values[STORED_PARAMETER_COUNT];
    NTSTATUS status = ReadStoredParameters(found, values);
    if (NT_SUCCESS(status)) {
        LockState();
        AdoptStoredParameters(found, values);
        UnlockState();
    }
    return status;
}

static BOOLEAN IsCalibrationReading(LONG reading)
{
    return reading >= 0 && reading <= CALIBRATION_READING_MAX;
}

/* Each reading within the controller's range, a non-zero span on both axes (an
   inverted axis is fine) and a SwapXY of 0 or 1. */
static BOOLEAN IsUsableCalibration(const CalibrationRecord* record)
{
    return IsCalibrationReading(record->XLow) && IsCalibrationReading(record->XHigh) &&
           IsCalibrationReading(record->YLow) && IsCalibrationReading(record->YHigh) &&
           record->XLow != record->XHigh && record->YLow != record->YHigh && record->SwapXY <= 1;
}

static BOOLEAN IsUsableBeep(const BeepSettings* beep)
{
    return beep->mode <= 2 && beep->frequency >= 1000 && beep->frequency <= 5000 && beep->duration >= 32 &&
           beep->duration <= 512;
}

/* Input must be exactly the record; an output must hold at least the record (exactly
   the record is returned); "none" means a length of 0. */
static BOOLEAN TouchSizesFit(ULONG code, PVOID buffer, ULONG inputLength, ULONG outputLength)
{
    ULONG input = 0;
    ULONG output = 0;

    switch (code) {
    case IOCTL_TOUCH_SET_CALIBRATION:
        input = sizeof(CalibrationRecord);
        break;
    case IOCTL_TOUCH_SET_BEEP:
        input = sizeof(BeepSettings);
        break;
    case IOCTL_TOUCH_GET_BEEP:
        output = sizeof(BeepSettings);
        break;
    case IOCTL_TOUCH_GET_MOUSE_MODE:
        output = sizeof(uint32_t);
        break;
    case IOCTL_TOUCH_SET_MOUSE_MODE:
        input = sizeof(uint32_t);
        break;
    case IOCTL_TOUCH_READ_POINT:
        output = sizeof(TouchPoint);
        break;
    default:
        break;
    }
    if (inputLength != input || (output == 0 ? outputLength != 0 : outputLength < output)) {
        return FALSE;
    }
    return input + output == 0 || buffer != NULL;
}

/* Caller holds stateLock and has checked the sizes of the ten codes; any other code
   is refused here. RELOAD_SETTINGS is not handled here because it reads the
   registry outside the lock. */
static NTSTATUS PerformTouchRequest(ULONG code, PVOID buffer, ULONG_PTR* returned)
{
    switch (code) {
    case IOCTL_TOUCH_SET_CALIBRATION: {
        CalibrationRecord record;
        RtlCopyMemory(&record, buffer, sizeof(record));
        if (!IsUsableCalibration(&record)) {
            return STATUS_INVALID_PARAMETER;
        }
        state.calibration = record;
        return STATUS_SUCCESS;
    }
    case IOCTL_TOUCH_SET_BEEP: {
        BeepSettings beep;
        RtlCopyMemory(&beep, buffer, sizeof(beep));
        if (!IsUsableBeep(&beep)) {
            return STATUS_INVALID_PARAMETER;
        }
        state.beep_mode = beep.mode;
        state.beep_freq = beep.frequency;
        state.beep_time = beep.duration;
        return STATUS_SUCCESS;
    }
    case IOCTL_TOUCH_GET_BEEP: {
        BeepSettings beep;
        beep.mode = state.beep_mode;
        beep.frequency = state.beep_freq;
        beep.duration = state.beep_time;
        RtlCopyMemory(buffer, &beep, sizeof(beep));
        *returned = sizeof(beep);
        return STATUS_SUCCESS;
    }
    case IOCTL_TOUCH_GET_MOUSE_MODE:
        RtlCopyMemory(buffer, &state.mouse_mode, sizeof(state.mouse_mode));
        *returned = sizeof(state.mouse_mode);
        return STATUS_SUCCESS;
    case IOCTL_TOUCH_SET_MOUSE_MODE: {
        uint32_t mode;
        RtlCopyMemory(&mode, buffer, sizeof(mode));
        if (mode > MOUSE_MODE_MAX) {
            return STATUS_INVALID_PARAMETER;
        }
        state.mouse_mode = mode;
        return STATUS_SUCCESS;
    }
    case IOCTL_TOUCH_READ_POINT: {
        TouchPoint point;
        if (state.queued == 0) {
            return STATUS_DEVICE_NOT_READY;
        }
        point.reserved = 0;
        point.status = 0;
        point.x = touchQueue[queueHead].x;
        point.y = touchQueue[queueHead].y;
        queueHead = (queueHead + 1) % SIM_TOUCH_QUEUE_SIZE;
        --state.queued;
        RtlCopyMemory(buffer, &point, sizeof(point));
        *returned = sizeof(point);
        return STATUS_SUCCESS;
    }
    case IOCTL_TOUCH_CLEAR_POINT:
        state.queued = 0;
        queueHead = 0;
        return STATUS_SUCCESS;
    case IOCTL_TOUCH_ENABLE:
        state.enabled = 1;
        return STATUS_SUCCESS;
    case IOCTL_TOUCH_DISABLE:
        state.enabled = 0;
        return STATUS_SUCCESS;
    default:
        return STATUS_INVALID_DEVICE_REQUEST;
    }
}

/* Every request carrying one of the ten codes is counted, whatever its outcome.
   An injected failure wins over every check; refusals (unknown code, wrong size,
   value out of range) are counted apart from it. */
static NTSTATUS TouchRequest(ULONG code, PVOID buffer, ULONG inputLength, ULONG outputLength, ULONG_PTR* returned)
{
    LONG slot = RequestSlot(code);
    NTSTATUS status;

    LockState();
    if (slot >= 0) {
        ++state.requests[slot];
        if (state.failing_code == code) {
            UnlockState();
            return STATUS_UNSUCCESSFUL;
        }
    }
    if (slot >= 0 && !TouchSizesFit(code, buffer, inputLength, outputLength)) {
        status = STATUS_INVALID_PARAMETER;
    } else if (code == IOCTL_TOUCH_RELOAD_SETTINGS) {
        UnlockState();
        return ReloadSettings();
    } else {
        status = PerformTouchRequest(code, buffer, returned);
    }
    if (status == STATUS_INVALID_PARAMETER || status == STATUS_INVALID_DEVICE_REQUEST) {
        ++state.refused;
    }
    UnlockState();
    return status;
}

/* The test control requests. They are neither counted nor affected by failure
   injection, so that looking at the state never changes it. */
static NTSTATUS SimRequest(ULONG code, PVOID buffer, ULONG inputLength, ULONG outputLength, ULONG_PTR* returned)
{
    switch (code) {
    case IOCTL_SIM_QUEUE_TOUCH: {
        SimTouch touch;
        if (inputLength != sizeof(SimTouch) || outputLength != 0 || buffer == NULL) {
            return STATUS_INVALID_PARAMETER;
        }
        RtlCopyMemory(&touch, buffer, sizeof(touch));
        LockState();
        if (state.queued < SIM_TOUCH_QUEUE_SIZE) {
            touchQueue[(queueHead + state.queued) % SIM_TOUCH_QUEUE_SIZE] = touch;
            ++state.queued;
        } else {
            ++state.dropped;
        }
        UnlockState();
        return STATUS_SUCCESS;
    }
    case IOCTL_SIM_GET_STATE:
        if (inputLength != 0 || outputLength < sizeof(SimState) || buffer == NULL) {
            return STATUS_INVALID_PARAMETER;
        }
        LockState();
        RtlCopyMemory(buffer, &state, sizeof(SimState));
        UnlockState();
        *returned = sizeof(SimState);
        return STATUS_SUCCESS;
    case IOCTL_SIM_RESET:
        if (inputLength != 0 || outputLength != 0) {
            return STATUS_INVALID_PARAMETER;
        }
        LockState();
        SetPowerOnState();
        UnlockState();
        return STATUS_SUCCESS;
    case IOCTL_SIM_FAIL: {
        uint32_t failing;
        if (inputLength != sizeof(uint32_t) || outputLength != 0 || buffer == NULL) {
            return STATUS_INVALID_PARAMETER;
        }
        RtlCopyMemory(&failing, buffer, sizeof(failing));
        if (failing != 0 && RequestSlot(failing) < 0) {
            return STATUS_INVALID_PARAMETER;
        }
        LockState();
        state.failing_code = failing;
        UnlockState();
        return STATUS_SUCCESS;
    }
    default:
        return STATUS_INVALID_DEVICE_REQUEST;
    }
}

static NTSTATUS CompleteRequest(PIRP irp, NTSTATUS status, ULONG_PTR returned)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = NT_SUCCESS(status) ? returned : 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inputLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outputLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    PVOID buffer = irp->AssociatedIrp.SystemBuffer;
    ULONG_PTR returned = 0;
    NTSTATUS status;

    if (device == touchDevice) {
        status = TouchRequest(code, buffer, inputLength, outputLength, &returned);
    } else {
        status = SimRequest(code, buffer, inputLength, outputLength, &returned);
    }
    return CompleteRequest(irp, status, returned);
}

/* Opens and closes are counted for the touch device only: the control device is the
   tests' own window and must not show up in what the programs did. */
static NTSTATUS NTAPI DispatchCreateClose(PDEVICE_OBJECT device, PIRP irp)
{
    if (device == touchDevice) {
        UCHAR major = IoGetCurrentIrpStackLocation(irp)->MajorFunction;
        LockState();
        if (major == IRP_MJ_CREATE) {
            ++state.opens;
        } else {
            ++state.closes;
        }
        UnlockState();
    }
    return CompleteRequest(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchCleanup(PDEVICE_OBJECT device, PIRP irp)
{
    UNREFERENCED_PARAMETER(device);
    return CompleteRequest(irp, STATUS_SUCCESS, 0);
}

static void DeleteControlDevice(PDEVICE_OBJECT device, PUNICODE_STRING linkName)
{
    IoDeleteSymbolicLink(linkName);
    IoDeleteDevice(device);
}

static NTSTATUS CreateControlDevice(PDRIVER_OBJECT driver, PUNICODE_STRING deviceName, PUNICODE_STRING linkName,
                                    DEVICE_TYPE type, PDEVICE_OBJECT* device)
{
    NTSTATUS status = IoCreateDevice(driver, 0, deviceName, type, FILE_DEVICE_SECURE_OPEN, FALSE, device);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    status = IoCreateSymbolicLink(linkName, deviceName);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(*device);
        *device = NULL;
        return status;
    }
    (*device)->Flags |= DO_BUFFERED_IO;
    (*device)->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

static VOID NTAPI DriverUnload(PDRIVER_OBJECT driver)
{
    UNREFERENCED_PARAMETER(driver);
    DeleteControlDevice(simDevice, &simLinkName);
    DeleteControlDevice(touchDevice, &touchLinkName);
    ExFreePoolWithTag(parametersPath.Buffer, KORVEL_POOL_TAG);
}

static NTSTATUS CopyParametersPath(PUNICODE_STRING registryPath)
{
    static const WCHAR suffix[] = L"\\Parameters";
    USHORT size;
    NTSTATUS status;

    if (registryPath->Length > MAXUSHORT - sizeof(suffix)) {
        return STATUS_INVALID_PARAMETER;
    }
    size = (USHORT)(registryPath->Length + sizeof(suffix));
    parametersPath.Buffer = ExAllocatePoolWithTag(PagedPool, size, KORVEL_POOL_TAG);
    if (parametersPath.Buffer == NULL) {
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    parametersPath.Length = 0;
    parametersPath.MaximumLength = size;
    RtlCopyUnicodeString(&parametersPath, registryPath);
    status = RtlAppendUnicodeToString(&parametersPath, suffix);
    if (!NT_SUCCESS(status)) {
        ExFreePoolWithTag(parametersPath.Buffer, KORVEL_POOL_TAG);
    }
    return status;
}

/* Starts from the power-on state and then adopts the stored parameters, as a real
   driver does at boot; IOCTL_SIM_RESET later restores the power-on state only. */
NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    BOOLEAN found[STORED_PARAMETER_COUNT];
    ULONG values[STORED_PARAMETER_COUNT];
    NTSTATUS status;

    status = CopyParametersPath(registryPath);
    if (!NT_SUCCESS(status)) {
        return status;
    }

    KeInitializeMutex(&stateLock, 0);
    SetPowerOnState();
    if (NT_SUCCESS(ReadStoredParameters(found, values))) {
        AdoptStoredParameters(found, values);
    }

    status = CreateControlDevice(driver, &touchDeviceName, &touchLinkName, FILE_DEVICE_MOUSE, &touchDevice);
    if (NT_SUCCESS(status)) {
        status = CreateControlDevice(driver, &simDeviceName, &simLinkName, FILE_DEVICE_UNKNOWN, &simDevice);
        if (!NT_SUCCESS(status)) {
            DeleteControlDevice(touchDevice, &touchLinkName);
        }
    }
    if (!NT_SUCCESS(status)) {
        ExFreePoolWithTag(parametersPath.Buffer, KORVEL_POOL_TAG);
        return status;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCleanup;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
