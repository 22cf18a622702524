#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/.

Each seed is one meaningful case in the input format its target reads (see
the comment at the top of each target). Rerun after changing a format:
    fuzz/make_corpus.py
"""
import pathlib
import shutil
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"


def transfer(form, data):
    """A device transfer record of FuzzTransfers.h (lengths below 128)."""
    assert len(data) < 128
    return bytes([form, len(data)]) + bytes(data)


REPLY_FRAME, RAW, EMPTY = 2, 0, 3

def delayed(form, ms):
    return form + ms // 4 * 4


def entry(nr, type_, soft, address, keys, options, baud100, cfg, status):
    """One 22-byte entry of the Manager's reader list."""
    return (struct.pack("<HHHBBIH", nr, type_, soft, address, keys, options, baud100)
            + bytes(cfg) + bytes([status]) + struct.pack("<HBB", 1230, 120, 130))


def channel_seeds():
    bulk, hid = b"\x00", b"\x01"
    # Bulk steps: op (time-out op % 4: 5, 20, 50, 2000 ms; call op / 4: Exchange,
    # ExchangeData, ExchangeStatus, ReadState), command, reply size / 4, transfers.
    return {
        "bulk-exchange": bulk + bytes([2, 0x45, 2, 1]) + transfer(REPLY_FRAME, b"ABCDE"),
        "bulk-data-after-stray": bulk + bytes([6, 0x10, 2, 3]) + transfer(1, b"\xb3stray")
        + transfer(RAW, b"\x07\x00\x01\x02") + transfer(REPLY_FRAME, b"8 bytes!"),
        "bulk-resend": bulk + bytes([2, 0x45, 1, 2]) + transfer(EMPTY, b"") + transfer(REPLY_FRAME, b"late"),
        "bulk-reply-after-time-out": bulk + bytes([2, 0x45, 1, 1]) + transfer(delayed(REPLY_FRAME, 80), b"slow"),
        "bulk-status": bulk + bytes([10, 0x22, 0, 1]) + transfer(REPLY_FRAME, b"\x00"),
        "bulk-read-state": bulk + bytes([14, 77, 0, 1]) + transfer(REPLY_FRAME, b"\x01\x02\x48\x00\x03\x00\x00\x00"),
        # HID: op (bit 0 wraps the raw reply into a reply frame; op / 2 % 3:
        # Exchange, ExchangeStatus, ReadState), command, request / 3, reply size, raw reply.
        "hid-exchange": hid + bytes([1, 0x20, 2, 8]) + b"hello",
        "hid-status": hid + bytes([3, 0x21, 1, 1]) + b"\x00",
        "hid-read-state": hid + bytes([5, 77, 0, 8]) + b"\x01\x00\x0e\x01\x04\x00\x00\x00",
        "hid-request-too-long": hid + bytes([1, 0x20, 200, 8]) + b"x",
        "hid-garbage": hid + bytes([0, 0x20, 0, 8]) + b"\x3f\x00\xa0" + bytes(60),
    }


def manager_seeds():
    two = entry(1, 0x48, 3, 1, 7, 0x18, 96, [0, 0, 7], 3) + entry(2, 0x4B, 3, 2, 0, 0x18, 96, [0, 0, 1], 3)
    one = two[:22]
    list_two = bytes([0, 1]) + transfer(REPLY_FRAME, two)
    return {
        "list-two-readers": list_two,
        "list-ended-by-zero-entry": bytes([0, 1]) + transfer(REPLY_FRAME, one + bytes(22)),
        "list-bad-length": bytes([0, 1]) + transfer(REPLY_FRAME, one + b"\x01"),
        # Relay: op, reader index + 1, command, reply size / 4, transfers.
        "relay-reply": list_two + bytes([1, 1, 0x53, 1, 2]) + transfer(1, b"\xd3\x09\x09\x09\x09")
        + transfer(REPLY_FRAME, b"\x00"),
        "relay-data-to-all": list_two + bytes([5, 0, 0x63, 2, 1]) + transfer(REPLY_FRAME, b"modules!"),
        # Event: op, source index + 1 (0: the id follows), transfers.
        "event-card-uid": list_two + bytes([2, 1, 1]) + transfer(REPLY_FRAME, b"\x00\x01" + bytes(range(8))),
        "event-unlisted-reader": list_two + bytes([2, 0]) + b"\x44\x33\x22\x11" + bytes([1])
        + transfer(REPLY_FRAME, b"\x06123"),
        # A new key signature, then a list one reader shorter: the row that
        # went must still be reported.
        "signature-then-shorter-list": list_two + bytes([3, 1]) + transfer(REPLY_FRAME, b"\x00")
        + b"\x78\x56\x34\x12" + bytes([0, 1]) + transfer(REPLY_FRAME, one),
    }


def reader_event_seeds():
    def setup(*readers, selected=0, backup_wait=0):
        out = bytes([len(readers) - 1])
        for options, cfg2, state in readers:  # state: online % 8 != 0, a module with bit 3
            out += bytes([state, options, 0, 0, cfg2])
        return out + bytes([selected, backup_wait])

    def event(data, source=0):
        return bytes([source, len(data)]) + bytes(data)

    uid = bytes(range(0xA0, 0xA8))
    return {
        "card-uid": setup((0x18, 1, 1)) + event(b"\x00\x01" + uid),
        "card-data-all-fields": setup((0x18, 7, 1)) + event(b"\x02\x01" + uid + struct.pack("<ii", -5, 2**31 - 1)),
        "card-data-too-short": setup((0x18, 6, 1)) + event(b"\x02\x01\x01\x00"),
        "phone-id": setup((0x18, 0, 1)) + event(b"\x04\x01" + uid),
        "pin-win1250": setup((0x18, 0, 1)) + event(b"\x06" + "12ąż".encode("cp1250") + b"\x00\x35"),
        "pin-too-long": setup((0x18, 0, 1)) + event(b"\x06" + b"1234567890"),
        "input-status": setup((0x18, 0, 1), (0x08, 0, 1)) + event(b"\x08\x03\x01", 1) + event(b"\x08\x00\x00"),
        "module-selected": setup((0x18, 1, 1), (0x18, 1, 9), selected=1) + event(b"\x00\x01" + uid, 1)
        + event(b"\x06" + b"42"),
        "offline-reader": setup((0x18, 1, 0)) + event(b"\x00\x01" + uid),
        "backup-card": setup((0x18, 0, 1), backup_wait=1) + event(b"\xfe" + bytes(range(120))),
        "unlisted-reader": setup((0x18, 1, 1)) + bytes([0xF4]) + b"\x01\x00\x00\x00" + bytes([10]) + b"\x00\x01" + uid
        + event(b"\x00"),
    }


def firmware_seeds():
    def header(type_, version, blocks, disable=0):
        return struct.pack(">HBB", type_, version, 0) + struct.pack("<HH", blocks, disable) + bytes(8)

    exact = 4  # the size miss byte for a file exactly as long as its header asks
    return {
        "reader72-one-block": b"\x01" + header(0x48, 3, 1) + bytes([exact]),
        "kbreader-any-type": b"\x01" + header(0x1234, 2, 2) + bytes([exact]),
        "one-byte-short": b"\x01" + header(0x89, 5, 1) + bytes([exact - 1]),
        "disabled": b"\x01" + header(0x10E, 4, 1, disable=1) + bytes([exact]),
        "largest-allowed": b"\x01" + header(0xAA, 7, 500) + bytes([exact]),
        "too-large": b"\x01" + header(0xAA, 7, 501) + bytes([exact]),
        "shorter-than-header": b"\x00" + header(0x48, 3, 1)[:10],
    }


def win1250_seeds():
    return {
        "polish-utf8": "Zażółć gęślą jaźń".encode(),
        "polish-cp1250": "Zażółć gęślą jaźń".encode("cp1250"),
        "undefined-bytes": b"\x81\x83\x88\x90\x98",
        "malformed-utf8": b"\xc0\xaf\xed\xa0\x80\xe2\x82\xf4\x90\x80\x80\x80",
        "long-password": "ŁÓDŹ-hasło-dłuższe-niż-pole".encode(),
    }


def usb_descriptor_seeds():
    # Selector % 4: MS OS 2.0 set, BOS, MS OS 1.0 properties, raw bytes.
    # A registry property op 0x60: DeviceInterfaceGUIDs with a GUID value and
    # its closing NUL; 0xFF leaves a length field right.
    guid_property = bytes([0x60, 0xFF, 0xFF, 0xFF])
    platform_cap = bytes([0x03, 0xFF, 1]) + struct.pack("<IHBB", 0x06030000, 0xB2, 0x20, 0)
    os_string = bytes([18, 3]) + "MSFT100".encode("utf-16-le") + bytes([0x20, 0])
    return {
        "msos20-guid-property": b"\x00" + guid_property + bytes([0xFF]),
        "msos20-function-subset": b"\x00" + bytes([0x04, 0xFF, 1, 0]) + guid_property + bytes([40]),
        "bos-platform-capability": b"\x01" + platform_cap + bytes([0xFF]),
        "msos10-guid-property": b"\x02" + guid_property + bytes([0xFF]),
        "raw-os-string": b"\x03" + os_string,
    }


def master_key_record_seeds():
    # Temporary flag, symbol length and bytes, signature, 32 key bytes; then
    # steps: op % 2 (0 store, 1 refresh), transfer counts and transfers.
    def record(temporary, symbol, signature=0x6A1B2C3D):
        return bytes([temporary, len(symbol)]) + symbol + struct.pack("<I", signature) + bytes(range(32))

    state_with_key = b"\x07\x00\x0e\x01\x04\x00\x01\x00"
    refresh = bytes([1, 1]) + transfer(REPLY_FRAME, state_with_key) + bytes([1]) + transfer(REPLY_FRAME, b"\x3d\x2c\x1b\x6a")
    return {
        "temporary-stored-then-refresh": record(1, b"FIRMA") + bytes([0, 1]) + transfer(REPLY_FRAME, b"\x00") + refresh,
        "target-eight-byte-symbol-refused": record(0, b"INSTAL08") + bytes([0, 1]) + transfer(REPLY_FRAME, b"\x05"),
        "symbol-longer-than-eight": record(1, "ŁÓDŹ-ZAKŁAD".encode("cp1250")) + bytes([0, 0]),
        "store-answer-too-long": record(0, b"X") + bytes([0, 1]) + transfer(REPLY_FRAME, b"\x00\x00"),
        "refresh-without-key": record(1, b"AB") + bytes([1, 1]) + transfer(REPLY_FRAME, bytes(8)) + bytes([1])
        + transfer(REPLY_FRAME, b"\x11\x22\x33\x44"),
        "refresh-short-signature": record(1, b"AB") + bytes([1, 1]) + transfer(REPLY_FRAME, state_with_key) + bytes([1])
        + transfer(REPLY_FRAME, b"\x11\x22"),
    }


def card_data_seeds():
    # Steps: op (bit 0: program, else read; bit 2 refuses the preparation,
    # bit 3 the file write), the status answer and the file answer, each a
    # form byte (1 of 4: 16 or 24 bytes follow; 0: form / 4 % 32 bytes; 1: one
    # byte) and bytes; a program step then gives department and index.
    uid = bytes(range(0x10, 0x18))

    def answer(data):
        return bytes([2]) + data

    def status(type_, app):
        return answer(uid + bytes([type_ << 2 | app]) + bytes(7))

    def file(data_uid, department, index):
        return answer(data_uid + struct.pack("<ii", department, index) + bytes(8))

    programmed = status(4, 1)
    blank = status(4, 0)
    return {
        "read-card": bytes([0]) + programmed + file(uid, 99999, 0),
        "read-blank-card": bytes([0]) + blank + file(uid, 1, 2),
        "read-other-card-file": bytes([0]) + programmed + file(bytes(8), 1, 2),
        "read-not-desfire": bytes([0]) + status(7, 1) + file(uid, 1, 2),
        "read-no-card": bytes([0, 1, 1]) + file(uid, 1, 2),
        "read-file-refused": bytes([0]) + programmed + bytes([1, 9]),
        "read-file-short": bytes([0]) + programmed + bytes([4 * 20]) + bytes(20),
        "program-card": bytes([1]) + blank + file(uid, 0, 0) + struct.pack("<ii", 99999, 0),
        "program-negative-numbers": bytes([1]) + blank + file(uid, 0, 0) + struct.pack("<ii", -1, -2**31),
        "program-prepare-refused": bytes([5]) + blank + file(uid, 0, 0) + struct.pack("<ii", 5, 6),
        "program-card-with-data": bytes([1]) + programmed + file(uid, 0, 0) + struct.pack("<ii", 5, 6),
    }


def kbreader_config_seeds():
    # Four rows (bits: field typed, hexadecimal; separator item, LE 32), the
    # end item (LE 32) and Enter; then steps: op % 2 (0 write: two answers,
    # each a form byte: form % 4 != 0 a status form / 4 % 2, else form / 4 % 8
    # raw bytes; 1 refresh: state and signature answers with their lengths).
    def rows(*settings, end=0, enter=1):
        out = b""
        for bits, item in settings:
            out += bytes([bits]) + struct.pack("<i", item)
        return out + struct.pack("<i", end) + bytes([enter])

    defaults = rows((0, 0), (3, 0), (0, 0), (0, 0))
    accepted = bytes([1])
    refused = bytes([5])
    state_keys = b"\x01\x00\x0e\x01\x04\x00\x83\x00"
    return {
        "defaults-written": defaults + bytes([0]) + accepted + accepted,
        "index-tab-end-bar": rows((0, 0), (3, 0), (0, 0), (1, 2), end=13) + bytes([0]) + accepted + accepted,
        "first-half-refused": defaults + bytes([0]) + refused + accepted,
        "second-half-refused": defaults + bytes([0]) + accepted + refused,
        "answer-too-long": defaults + bytes([0]) + bytes([8]) + b"\x00\x00",
        "items-out-of-range": rows((1, -1), (3, 14), (2, 2**31 - 1), (3, 99), end=-5, enter=0)
        + bytes([0]) + accepted + accepted,
        "refresh-temporary-keys": defaults + bytes([1, 8]) + state_keys + bytes([4]) + b"\x78\x56\x34\x12",
        "refresh-short-signature": defaults + bytes([1, 8]) + state_keys + bytes([2]) + b"\x78\x56",
        "refresh-no-keys": defaults + bytes([1, 8]) + bytes(8) + bytes([4]) + b"\x78\x56\x34\x12",
        "refresh-short-state": defaults + bytes([1, 5]) + bytes(5) + bytes([0]),
    }


TARGETS = {
    "fuzz_channel_replies": channel_seeds,
    "fuzz_manager_replies": manager_seeds,
    "fuzz_reader_events": reader_event_seeds,
    "fuzz_firmware_images": firmware_seeds,
    "fuzz_win1250": win1250_seeds,
    "fuzz_usb_descriptors": usb_descriptor_seeds,
    "fuzz_master_key_record": master_key_record_seeds,
    "fuzz_card_data": card_data_seeds,
    "fuzz_kbreader_config": kbreader_config_seeds,
}

for target, seeds in TARGETS.items():
    directory = CORPUS / target
    shutil.rmtree(directory, ignore_errors=True)
    directory.mkdir(parents=True)
    for name, data in seeds().items():
        (directory / name).write_bytes(data)
