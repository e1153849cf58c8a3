package org.kestro.maven;

import java.util.ArrayList;
import java.util.List;
import java.util.regex.Pattern;

/**
 * Reads a TOML 1.0 document into {@link TomlTable}s, keeping the line of every key, so that
 * the plugin can add its settings to a user's configuration and say where a setting it
 * yields to was written. Dates and times are kept as written. Every fault is a
 * {@link TomlException} naming the line.
 */
final class TomlReader extends TomlScanner {
    private static final Pattern INTEGER = Pattern.compile("[+-]?(0|[1-9](_?[0-9])*)");
    private static final Pattern PREFIXED =
            Pattern.compile("0x[0-9A-Fa-f](_?[0-9A-Fa-f])*|0o[0-7](_?[0-7])*|0b[01](_?[01])*");
    private static final Pattern FLOAT = Pattern.compile(
            "[+-]?(0|[1-9](_?[0-9])*)((\\.[0-9](_?[0-9])*)([eE][+-]?[0-9](_?[0-9])*)?|[eE][+-]?[0-9](_?[0-9])*)"
            + "|[+-]?(inf|nan)");
    private static final Pattern DATE_TIME = Pattern.compile(
            "[0-9]{4}-[0-9]{2}-[0-9]{2}([Tt ][0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]+)?([Zz]|[+-][0-9]{2}:[0-9]{2})?)?"
            + "|[0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]+)?");

    private TomlReader(String text) {
        super(text);
    }

    /** Reads a whole document into its root table. */
    static TomlTable read(String text) throws TomlException {
        TomlReader reader = new TomlReader(text.startsWith("\uFEFF") ? text.substring(1) : text);
        return reader.document();
    }

    private TomlTable document() throws TomlException {
        TomlTable root = new TomlTable(TomlTable.Origin.HEADER, 0);
        TomlTable current = root;
        while (true) {
            skipSpaces();
            if (pos >= text.length()) return root;
            char c = text.charAt(pos);
            if (c == '[') {
                current = header(root);
            } else if (c != '#' && c != '\n' && c != '\r') {
                keyValue(current);
            }
            endOfLine();
        }
    }

    // [a.b] or [[a.b]]: the table that the following key/value pairs go into.
    private TomlTable header(TomlTable root) throws TomlException {
        int headerLine = line;
        boolean array = text.startsWith("[[", pos);
        pos += array ? 2 : 1;
        List<String> path = key();
        String close = array ? "]]" : "]";
        if (!text.startsWith(close, pos)) throw error("expected " + close + " after the table name");
        pos += array ? 2 : 1;
        TomlTable table = root;
        for (int i = 0; i < path.size() - 1; i++) table = descend(table, path.get(i), headerLine);
        String last = path.get(path.size() - 1);
        Object existing = table.get(last);
        if (array) {
            TomlTable element = new TomlTable(TomlTable.Origin.HEADER, headerLine);
            if (existing == null) {
                TomlTable.TableArray tables = new TomlTable.TableArray();
                table.put(last, tables, headerLine);
                tables.add(element);
            } else if (existing instanceof TomlTable.TableArray) {
                ((TomlTable.TableArray) existing).add(element);
            } else {
                throw error("'" + String.join(".", path)
                        + "' is already defined as something other than an array of tables");
            }
            return element;
        }
        if (existing == null) {
            TomlTable created = new TomlTable(TomlTable.Origin.HEADER, headerLine);
            table.put(last, created, headerLine);
            return created;
        }
        if (existing instanceof TomlTable && ((TomlTable) existing).origin == TomlTable.Origin.IMPLICIT) {
            TomlTable named = (TomlTable) existing;
            named.origin = TomlTable.Origin.HEADER;
            named.headerLine = headerLine;
            return named;
        }
        throw error("table '" + String.join(".", path) + "' is defined twice");
    }

    // A step of a header's name: into a table (an array of tables' last one), made if absent.
    private TomlTable descend(TomlTable table, String name, int headerLine) throws TomlException {
        Object existing = table.get(name);
        if (existing == null) {
            TomlTable created = new TomlTable(TomlTable.Origin.IMPLICIT, 0);
            table.put(name, created, headerLine);
            return created;
        }
        if (existing instanceof TomlTable.TableArray) {
            List<Object> tables = (TomlTable.TableArray) existing;
            return (TomlTable) tables.get(tables.size() - 1);
        }
        if (existing instanceof TomlTable && ((TomlTable) existing).origin != TomlTable.Origin.INLINE) {
            return (TomlTable) existing;
        }
        throw error("'" + name + "' is not a table that can be extended");
    }

    private void keyValue(TomlTable current) throws TomlException {
        int keyLine = line;
        List<String> path = key();
        skipSpaces();
        if (pos >= text.length() || text.charAt(pos) != '=') throw error("expected '=' after the key");
        pos++;
        skipSpaces();
        Object value = value();
        assign(current, path, value, keyLine);
    }

    // Puts a value at a dotted key below table, making the tables on the way.
    private void assign(TomlTable table, List<String> path, Object value, int keyLine) throws TomlException {
        for (int i = 0; i < path.size() - 1; i++) {
            String name = path.get(i);
            Object existing = table.get(name);
            if (existing == null) {
                TomlTable created = new TomlTable(TomlTable.Origin.DOTTED, 0);
                table.put(name, created, keyLine);
                table = created;
            } else if (existing instanceof TomlTable && ((TomlTable) existing).origin == TomlTable.Origin.DOTTED) {
                table = (TomlTable) existing;
            } else {
                throw error("'" + String.join(".", path.subList(0, i + 1))
                        + "' is already defined and cannot be extended by a dotted key");
            }
        }
        String last = path.get(path.size() - 1);
        if (table.has(last)) throw error("'" + String.join(".", path) + "' is defined twice");
        table.put(last, value, keyLine);
    }

    private List<String> key() throws TomlException {
        List<String> parts = new ArrayList<>();
        while (true) {
            skipSpaces();
            if (pos >= text.length()) throw error("expected a key");
            char c = text.charAt(pos);
            if (c == '"') {
                parts.add(basicString());
            } else if (c == '\'') {
                parts.add(literalString());
            } else {
                int start = pos;
                while (pos < text.length() && isBareKeyChar(text.charAt(pos))) pos++;
                if (pos == start) throw error("expected a key");
                parts.add(text.substring(start, pos));
            }
            skipSpaces();
            if (pos < text.length() && text.charAt(pos) == '.') {
                pos++;
            } else {
                return parts;
            }
        }
    }

    static boolean isBareKeyChar(char c) {
        return c >= 'A' && c <= 'Z' || c >= 'a' && c <= 'z' || c >= '0' && c <= '9' || c == '_' || c == '-';
    }

    private Object value() throws TomlException {
        if (pos >= text.length()) throw error("expected a value");
        char c = text.charAt(pos);
        if (c == '"') return text.startsWith("\"\"\"", pos) ? multilineBasicString() : basicString();
        if (c == '\'') return text.startsWith("'''", pos) ? multilineLiteralString() : literalString();
        if (c == '[') return array();
        if (c == '{') return inlineTable();
        return scalar();
    }

    private Object scalar() throws TomlException {
        int start = pos;
        while (pos < text.length() && isScalarChar(text.charAt(pos))) pos++;
        // A date and a time may be separated by one space.
        if (pos + 3 < text.length() && text.charAt(pos) == ' ' && Character.isDigit(text.charAt(pos + 1))
                && pos - start == 10 && text.charAt(start + 4) == '-') {
            pos++;
            while (pos < text.length() && isScalarChar(text.charAt(pos))) pos++;
        }
        String token = text.substring(start, pos);
        if (token.equals("true")) return Boolean.TRUE;
        if (token.equals("false")) return Boolean.FALSE;
        if (DATE_TIME.matcher(token).matches()) return new TomlTable.Raw(token);
        String digits = token.replace("_", "");
        try {
            if (INTEGER.matcher(token).matches()) return Long.parseLong(digits);
            if (PREFIXED.matcher(token).matches()) {
                int radix = digits.charAt(1) == 'x' ? 16 : digits.charAt(1) == 'o' ? 8 : 2;
                return Long.parseLong(digits.substring(2), radix);
            }
        } catch (NumberFormatException e) {
            throw error("the integer " + token + " is out of range");
        }
        if (FLOAT.matcher(token).matches()) {
            if (digits.endsWith("inf")) {
                return digits.startsWith("-") ? Double.NEGATIVE_INFINITY : Double.POSITIVE_INFINITY;
            }
            if (digits.endsWith("nan")) return Double.NaN;
            return Double.parseDouble(digits);
        }
        throw error(token.isEmpty() ? "expected a value" : "'" + token + "' is not a TOML value");
    }

    private static boolean isScalarChar(char c) {
        return isBareKeyChar(c) || c == '.' || c == ':' || c == '+';
    }

    private List<Object> array() throws TomlException {
        pos++;
        List<Object> items = new ArrayList<>();
        while (true) {
            skipBlankLines();
            if (pos >= text.length()) throw error("the array is not closed with ]");
            if (text.charAt(pos) == ']') {
                pos++;
                return items;
            }
            items.add(value());
            skipBlankLines();
            if (pos >= text.length()) throw error("the array is not closed with ]");
            if (text.charAt(pos) == ',') {
                pos++;
            } else if (text.charAt(pos) != ']') {
                throw error("expected ',' or ']' in the array");
            }
        }
    }

    private TomlTable inlineTable() throws TomlException {
        pos++;
        TomlTable table = new TomlTable(TomlTable.Origin.DOTTED, line);
        skipSpaces();
        if (pos < text.length() && text.charAt(pos) == '}') {
            pos++;
        } else {
            while (true) {
                keyValue(table);
                skipSpaces();
                if (pos < text.length() && text.charAt(pos) == ',') {
                    pos++;
                } else if (pos < text.length() && text.charAt(pos) == '}') {
                    pos++;
                    break;
                } else {
                    throw error("expected ',' or '}' in the inline table");
                }
            }
        }
        sealInline(table);
        return table;
    }

    // An inline table and the tables its dotted keys made are complete as written.
    private static void sealInline(TomlTable table) {
        table.origin = TomlTable.Origin.INLINE;
        for (java.util.Map.Entry<String, Object> entry : table.entries()) {
            Object value = entry.getValue();
            if (value instanceof TomlTable && ((TomlTable) value).origin == TomlTable.Origin.DOTTED) {
                sealInline((TomlTable) value);
            }
        }
    }
}
