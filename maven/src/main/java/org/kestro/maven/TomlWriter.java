package org.kestro.maven;

import java.util.List;
import java.util.Map;

/**
 * Writes the plugin's derived settings as TOML: [tables] and [[lists of tables]] of string
 * values, and lists of inline tables. Writing only; the build tool reads the user's file.
 */
final class TomlWriter {
    private final StringBuilder out = new StringBuilder();

    /** A [table] or [[list entry]] header, after a blank line unless it is the first line. */
    TomlWriter header(String header) {
        if (out.length() > 0) out.append('\n');
        out.append(header).append('\n');
        return this;
    }

    TomlWriter value(String key, String value) {
        out.append(key).append(" = ");
        string(out, value);
        out.append('\n');
        return this;
    }

    /** key = [{ k = "v", ... }, ...]: a list of inline tables of strings. */
    TomlWriter inlineTables(String key, List<Map<String, String>> tables) {
        out.append(key).append(" = [");
        String separator = "";
        for (Map<String, String> table : tables) {
            out.append(separator).append('{');
            String inner = " ";
            for (Map.Entry<String, String> entry : table.entrySet()) {
                out.append(inner).append(entry.getKey()).append(" = ");
                string(out, entry.getValue());
                inner = ", ";
            }
            out.append(" }");
            separator = ", ";
        }
        out.append("]\n");
        return this;
    }

    TomlWriter comment(String text) {
        out.append("# ").append(text.replace('\n', ' ')).append('\n');
        return this;
    }

    String text() {
        return out.toString();
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
