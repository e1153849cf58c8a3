package org.kestro.maven;

import java.util.ArrayList;
import java.util.List;
import java.util.Map;

/**
 * Writes {@link TomlTable}s as a TOML document: the values of a table first, then its
 * sub-tables under [headers] and its arrays of tables under [[headers]]; tables inside
 * ordinary arrays, and tables that were written inline, stay inline. It also records, for
 * every line written, the line of the user's file it came from (0 for the plugin's own),
 * so that the build tool's reports about the written file can point at the user's.
 */
final class TomlWriter {
    private final StringBuilder out = new StringBuilder();
    private final List<Integer> origins = new ArrayList<>();

    /** The document and, per line (index 0 is line 1), the line of the user's file it came from. */
    static final class Result {
        final String text;
        final int[] origins;

        Result(String text, int[] origins) {
            this.text = text;
            this.origins = origins;
        }
    }

    static Result write(TomlTable root) {
        TomlWriter writer = new TomlWriter();
        writer.table(root, "");
        int[] lines = new int[writer.origins.size()];
        for (int i = 0; i < lines.length; i++) lines[i] = writer.origins.get(i);
        return new Result(writer.out.toString(), lines);
    }

    private void table(TomlTable table, String path) {
        for (Map.Entry<String, Object> entry : table.entries()) {
            if (isSection(entry.getValue())) continue;
            StringBuilder line = new StringBuilder(key(entry.getKey())).append(" = ");
            value(line, entry.getValue());
            emit(line.toString(), table.line(entry.getKey()));
        }
        for (Map.Entry<String, Object> entry : table.entries()) {
            Object value = entry.getValue();
            String name = path.isEmpty() ? key(entry.getKey()) : path + "." + key(entry.getKey());
            if (value instanceof TomlTable && isSection(value)) {
                TomlTable sub = (TomlTable) value;
                // A table that only holds further tables needs no header of its own.
                if (sub.origin == TomlTable.Origin.HEADER || hasValues(sub)) {
                    emit("", -1);
                    emit("[" + name + "]", sub.headerLine > 0 ? sub.headerLine : table.line(entry.getKey()));
                }
                table(sub, name);
            } else if (value instanceof TomlTable.TableArray) {
                for (Object element : (TomlTable.TableArray) value) {
                    emit("", -1);
                    emit("[[" + name + "]]", ((TomlTable) element).headerLine);
                    table((TomlTable) element, name);
                }
            }
        }
    }

    private static boolean isSection(Object value) {
        if (value instanceof TomlTable.TableArray) return true;
        return value instanceof TomlTable && ((TomlTable) value).origin != TomlTable.Origin.INLINE;
    }

    private static boolean hasValues(TomlTable table) {
        for (Map.Entry<String, Object> entry : table.entries()) {
            if (!isSection(entry.getValue())) return true;
        }
        return false;
    }

    // origin -1: a blank line between sections, which no report names.
    private void emit(String line, int origin) {
        if (origin == -1 && out.length() == 0) return;
        out.append(line).append('\n');
        origins.add(Math.max(origin, 0));
    }

    private static void value(StringBuilder line, Object value) {
        if (value instanceof String) {
            string(line, (String) value);
        } else if (value instanceof Double) {
            double d = (Double) value;
            line.append(Double.isNaN(d) ? "nan" : Double.isInfinite(d) ? (d > 0 ? "inf" : "-inf") : Double.toString(d));
        } else if (value instanceof TomlTable) {
            line.append('{');
            String separator = " ";
            for (Map.Entry<String, Object> entry : ((TomlTable) value).entries()) {
                line.append(separator).append(key(entry.getKey())).append(" = ");
                value(line, entry.getValue());
                separator = ", ";
            }
            line.append(separator.equals(" ") ? "}" : " }");
        } else if (value instanceof List) {
            line.append('[');
            String separator = "";
            for (Object item : (List<?>) value) {
                line.append(separator);
                value(line, item);
                separator = ", ";
            }
            line.append(']');
        } else {
            line.append(value);  // Long, Boolean, a date or time as written
        }
    }

    static String key(String key) {
        boolean bare = !key.isEmpty();
        for (int i = 0; i < key.length() && bare; i++) bare = TomlReader.isBareKeyChar(key.charAt(i));
        if (bare) return key;
        StringBuilder quoted = new StringBuilder();
        string(quoted, key);
        return quoted.toString();
    }

    private static void string(StringBuilder line, String text) {
        line.append('"');
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            switch (c) {
                case '"': line.append("\\\""); break;
                case '\\': line.append("\\\\"); break;
                case '\n': line.append("\\n"); break;
                case '\t': line.append("\\t"); break;
                case '\r': line.append("\\r"); break;
                default:
                    if (c < 0x20 || c == 0x7F) line.append(String.format("\\u%04X", (int) c));
                    else line.append(c);
            }
        }
        line.append('"');
    }
}
