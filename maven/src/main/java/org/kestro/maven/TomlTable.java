package org.kestro.maven;

import java.util.ArrayList;
import java.util.Collection;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * A TOML table as read from a file: its entries in file order, the line each was defined
 * on (0 for entries the plugin adds), and how the table came to be, which decides what
 * TOML still allows to be added to it.
 */
final class TomlTable {
    /** How a table was made. */
    enum Origin {
        /** By a [header] naming it. */
        HEADER,
        /** On the way to a deeper [header] (may still get a header of its own). */
        IMPLICIT,
        /** By a dotted key (a.b = 1 makes table a). */
        DOTTED,
        /** By { ... }: complete as written. */
        INLINE,
        /** By the plugin. */
        ADDED
    }

    /** An array made by [[header]] elements; written back the same way. */
    static final class TableArray extends ArrayList<Object> {
        private static final long serialVersionUID = 1L;
    }

    /** A date or time, kept as written. */
    static final class Raw {
        final String text;

        Raw(String text) {
            this.text = text;
        }

        @Override
        public boolean equals(Object o) {
            return o instanceof Raw && ((Raw) o).text.equals(text);
        }

        @Override
        public int hashCode() {
            return text.hashCode();
        }

        @Override
        public String toString() {
            return text;
        }
    }

    private final Map<String, Object> values = new LinkedHashMap<>();
    private final Map<String, Integer> lines = new LinkedHashMap<>();
    Origin origin;
    /** The line of the header that made this table, 0 when none. */
    int headerLine;

    TomlTable(Origin origin, int headerLine) {
        this.origin = origin;
        this.headerLine = headerLine;
    }

    Object get(String key) {
        return values.get(key);
    }

    boolean has(String key) {
        return values.containsKey(key);
    }

    /** The line a key was set on, 0 when the plugin set it or it is absent. */
    int line(String key) {
        Integer line = lines.get(key);
        return line == null ? 0 : line;
    }

    void put(String key, Object value, int line) {
        values.put(key, value);
        lines.put(key, line);
    }

    Collection<Map.Entry<String, Object>> entries() {
        return values.entrySet();
    }

    /** The sub-table at key, or null when the key is absent or holds something else. */
    TomlTable table(String key) {
        Object value = values.get(key);
        return value instanceof TomlTable ? (TomlTable) value : null;
    }

    /** The text at key, or null when the key is absent or holds something else. */
    String string(String key) {
        Object value = values.get(key);
        return value instanceof String ? (String) value : null;
    }
}
