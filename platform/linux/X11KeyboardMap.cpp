#include "platform/linux/X11KeyboardMap.h"

#include "platform/linux/QtX11Connection.h"
#include "platform/linux/XcbConnection.h"

#include <xcb/xcb.h>
// The header names a member `explicit`, a C++ keyword.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define explicit xkbExplicit
#include <xcb/xkb.h>
#undef explicit
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

namespace {
constexpr int coreColumnsPerGroup = 2;

bool useXkb(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_xkb_id);
    if (!extension || !extension->present)
        return false;
    const XcbReply<xcb_xkb_use_extension_reply_t> reply{xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        nullptr)};
    return reply && reply->supported;
}
} // namespace

X11KeyboardMap X11KeyboardMap::read(xcb_connection_t* connection, quint8 keycode) {
    if (!connection)
        return {};
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (keycode && (keycode < setup->min_keycode || keycode > setup->max_keycode))
        return {};
    const quint8 first = keycode ? keycode : setup->min_keycode;
    const quint8 count = keycode ? 1 : quint8(setup->max_keycode - setup->min_keycode + 1);
    if (useXkb(connection)) {
        X11KeyboardMap map = readXkb(connection, first, count);
        if (!map.isEmpty())
            return map;
    }
    return readCore(connection, first, count);
}

X11KeyboardMap X11KeyboardMap::readXkb(xcb_connection_t* connection, quint8 first, quint8 count) {
    const XcbReply<xcb_xkb_get_map_reply_t> reply{xcb_xkb_get_map_reply(
        connection,
        xcb_xkb_get_map(connection, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_MAP_PART_KEY_SYMS, 0, 0, 0,
                        first, count, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
        nullptr)};
    X11KeyboardMap map;
    if (!reply)
        return map;
    xcb_xkb_get_map_map_t parts{};
    xcb_xkb_get_map_map_unpack(xcb_xkb_get_map_map(reply.get()), reply->nTypes, reply->nKeySyms,
                               reply->nKeyActions, reply->totalActions, reply->totalKeyBehaviors,
                               reply->virtualMods, reply->totalKeyExplicit, reply->totalModMapKeys,
                               reply->totalVModMapKeys, reply->present, &parts);
    map.m_minKeycode = reply->firstKeySym;
    for (auto keys = xcb_xkb_get_map_map_syms_rtrn_iterator(reply.get(), &parts); keys.rem;
         xcb_xkb_key_sym_map_next(&keys)) {
        const xcb_keysym_t* keysyms = xcb_xkb_key_sym_map_syms(keys.data);
        map.m_keys.append({qMin(keys.data->groupInfo & 0x0f, maxGroups), keys.data->width,
                           QList<quint32>(keysyms, keysyms + keys.data->nSyms)});
    }
    return map;
}

X11KeyboardMap X11KeyboardMap::readCore(xcb_connection_t* connection, quint8 first, quint8 count) {
    const XcbReply<xcb_get_keyboard_mapping_reply_t> reply{xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, first, count), nullptr)};
    X11KeyboardMap map;
    if (!reply || reply->keysyms_per_keycode == 0)
        return map;
    const int columns = reply->keysyms_per_keycode;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    map.m_minKeycode = first;
    for (int i = 0; i < count; ++i) {
        const xcb_keysym_t* row = keysyms + i * columns;
        // Columns beyond the second group hold other levels, not groups.
        map.m_keys.append({qBound(1, columns / coreColumnsPerGroup, 2), coreColumnsPerGroup,
                           QList<quint32>(row, row + columns)});
    }
    return map;
}

const X11KeyboardMap::Key* X11KeyboardMap::key(quint8 keycode) const {
    const int index = int(keycode) - m_minKeycode;
    return index >= 0 && index < m_keys.size() ? &m_keys[index] : nullptr;
}

quint32 X11KeyboardMap::keysym(quint8 keycode, int group, int level) const {
    const Key* k = key(keycode);
    if (!k || group < 0 || group >= k->groups || level < 0 || level >= k->width)
        return 0;
    return k->keysyms.value(group * k->width + level);
}

QList<quint32> X11KeyboardMap::keysyms(quint8 keycode) const {
    const Key* k = key(keycode);
    return k ? k->keysyms : QList<quint32>();
}

int digitOnKey(quint32 keycode, quint32 state) {
    if (keycode == 0 || keycode > 0xff)
        return 0;
    const X11KeyboardMap map = X11KeyboardMap::read(qtX11Connection(), quint8(keycode));
    // An XKB-aware client's key events carry the active group in bits 13 and 14.
    const int active = int((state >> 13) & 3);
    QList<int> groups{active};
    for (int group = 0; group < X11KeyboardMap::maxGroups; ++group)
        if (group != active)
            groups.append(group);
    for (const int group : groups) {
        for (int level = 0; level < 2; ++level) {
            const quint32 keysym = map.keysym(quint8(keycode), group, level);
            if (keysym >= '1' && keysym <= '9')
                return int(keysym - '0');
        }
    }
    return 0;
}
