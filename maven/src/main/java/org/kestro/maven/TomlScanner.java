package org.kestro.maven;

/**
 * The lexical layer of {@link TomlReader}: the position in a TOML document, its line, the
 * four kinds of string, and the white space, comments and line ends between values.
 */
class TomlScanner {
    /** A document that is not valid TOML. */
    static final class TomlException extends Exception {
        private static final long serialVersionUID = 1L;
        final int line;

        TomlException(int line, String message) {
            super(message);
            this.line = line;
        }
    }

    final String text;
    int pos;
    int line = 1;

    TomlScanner(String text) {
        this.text = text;
    }

    final String basicString() throws TomlException {
        pos++;
        StringBuilder out = new StringBuilder();
        while (true) {
            if (pos >= text.length() || text.charAt(pos) == '\n') throw error("the string is not closed with \"");
            char c = text.charAt(pos++);
            if (c == '"') return out.toString();
            if (c == '\\') {
                escape(out);
            } else {
                checkControl(c);
                out.append(c);
            }
        }
    }

    final String multilineBasicString() throws TomlException {
        pos += 3;
        skipNewline();
        StringBuilder out = new StringBuilder();
        while (true) {
            if (pos >= text.length()) throw error("the string is not closed with \"\"\"");
            if (text.startsWith("\"\"\"", pos)) {
                int quotes = 3;
                while (quotes < 5 && pos + quotes < text.length() && text.charAt(pos + quotes) == '"') quotes++;
                for (int i = 3; i < quotes; i++) out.append('"');
                pos += quotes;
                return out.toString();
            }
            char c = text.charAt(pos++);
            if (c == '\\') {
                int after = pos;
                while (after < text.length() && (text.charAt(after) == ' ' || text.charAt(after) == '\t')) after++;
                if (after < text.length() && (text.charAt(after) == '\n' || text.startsWith("\r\n", after))) {
                    pos = after;  // a backslash at the end of a line joins it to the next text
                    skipBlankSpace();
                } else {
                    escape(out);
                }
            } else if (c == '\n') {
                line++;
                out.append(c);
            } else if (c == '\r' && pos < text.length() && text.charAt(pos) == '\n') {
                out.append('\n');
                pos++;
                line++;
            } else {
                checkControl(c);
                out.append(c);
            }
        }
    }

    final String literalString() throws TomlException {
        pos++;
        int start = pos;
        while (pos < text.length() && text.charAt(pos) != '\'' && text.charAt(pos) != '\n') {
            checkControl(text.charAt(pos++));
        }
        if (pos >= text.length() || text.charAt(pos) != '\'') throw error("the string is not closed with '");
        return text.substring(start, pos++);
    }

    final String multilineLiteralString() throws TomlException {
        pos += 3;
        skipNewline();
        StringBuilder out = new StringBuilder();
        while (true) {
            if (pos >= text.length()) throw error("the string is not closed with '''");
            if (text.startsWith("'''", pos)) {
                int quotes = 3;
                while (quotes < 5 && pos + quotes < text.length() && text.charAt(pos + quotes) == '\'') quotes++;
                for (int i = 3; i < quotes; i++) out.append('\'');
                pos += quotes;
                return out.toString();
            }
            char c = text.charAt(pos++);
            if (c == '\r' && pos < text.length() && text.charAt(pos) == '\n') continue;
            if (c == '\n') line++;
            else checkControl(c);
            out.append(c);
        }
    }

    final void escape(StringBuilder out) throws TomlException {
        if (pos >= text.length()) throw error("the string ends in an escape");
        char c = text.charAt(pos++);
        switch (c) {
            case 'b': out.append('\b'); return;
            case 't': out.append('\t'); return;
            case 'n': out.append('\n'); return;
            case 'f': out.append('\f'); return;
            case 'r': out.append('\r'); return;
            case '"': out.append('"'); return;
            case '\\': out.append('\\'); return;
            case 'u':
            case 'U':
                int length = c == 'u' ? 4 : 8;
                if (pos + length > text.length()) throw error("a \\" + c + " escape needs " + length + " hex digits");
                String hex = text.substring(pos, pos + length);
                int code;
                try {
                    code = Integer.parseUnsignedInt(hex, 16);
                } catch (NumberFormatException e) {
                    throw error("a \\" + c + " escape needs " + length + " hex digits");
                }
                if (!Character.isValidCodePoint(code) || code >= 0xD800 && code <= 0xDFFF) {
                    throw error("\\" + c + hex + " is not a Unicode scalar value");
                }
                out.appendCodePoint(code);
                pos += length;
                return;
            default:
                throw error("unknown escape \\" + c);
        }
    }

    final void checkControl(char c) throws TomlException {
        if (c < 0x20 && c != '\t' || c == 0x7F) {
            throw error(String.format("control character U+%04X in a string", (int) c));
        }
    }
    final void skipSpaces() {
        while (pos < text.length() && (text.charAt(pos) == ' ' || text.charAt(pos) == '\t')) pos++;
    }

    final void skipNewline() {
        if (text.startsWith("\n", pos)) {
            pos++;
            line++;
        } else if (text.startsWith("\r\n", pos)) {
            pos += 2;
            line++;
        }
    }

    // Spaces and line ends (inside a multi-line string after a joining backslash).
    final void skipBlankSpace() {
        while (pos < text.length()) {
            char c = text.charAt(pos);
            if (c == '\n') line++;
            else if (c != ' ' && c != '\t' && c != '\r') return;
            pos++;
        }
    }

    // Spaces, line ends and comments between the items of an array.
    final void skipBlankLines() {
        while (true) {
            skipBlankSpace();
            if (pos >= text.length() || text.charAt(pos) != '#') return;
            while (pos < text.length() && text.charAt(pos) != '\n') pos++;
        }
    }

    // After an expression: spaces, an optional comment, then the line end or the end.
    final void endOfLine() throws TomlException {
        skipSpaces();
        if (pos < text.length() && text.charAt(pos) == '#') {
            while (pos < text.length() && text.charAt(pos) != '\n' && text.charAt(pos) != '\r') pos++;
        }
        if (pos >= text.length()) return;
        if (text.charAt(pos) == '\n' || text.startsWith("\r\n", pos)) {
            skipNewline();
            return;
        }
        throw error("unexpected '" + text.charAt(pos) + "' after a value (one key = value per line)");
    }

    final TomlException error(String message) {
        return new TomlException(line, message);
    }
}
