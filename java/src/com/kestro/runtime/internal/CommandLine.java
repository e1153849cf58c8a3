package com.kestro.runtime.internal;

import java.util.ArrayList;
import java.util.List;

/**
 * Splits a command line into arguments exactly as the launcher splits its own, so that an
 * argument text handed over by a later start of the application comes out as the
 * arguments that start would have given {@code main}: only the space separates, the
 * double quote quotes (and is dropped), a single quote does so only where it opens an
 * argument and another one follows (elsewhere it is an ordinary character, as in
 * O'Brien.txt), and there is no escape character.
 */
public final class CommandLine {
    private CommandLine() {
    }

    /**
     * The arguments of {@code text}, in order. Text before an opening quote and the quoted
     * stretch form one argument; a double quote that is never closed runs to the end of
     * the text; text right after a closing quote starts a new argument.
     */
    public static List<String> split(String text) {
        List<String> arguments = new ArrayList<>();
        int pos = 0;
        int length = text.length();
        while (pos < length) {
            if (text.charAt(pos) == ' ') {
                pos++;
                continue;
            }
            boolean singleQuoted = text.charAt(pos) == '\'' && text.indexOf('\'', pos + 1) >= 0;
            int quote = singleQuoted ? pos : text.indexOf('"', pos);
            int space = text.indexOf(' ', pos);
            if (space >= 0 && (quote < 0 || space < quote)) {
                arguments.add(text.substring(pos, space));
                pos = space + 1;
                continue;
            }
            if (quote < 0) {
                arguments.add(text.substring(pos));
                break;
            }
            int close = text.indexOf(text.charAt(quote), quote + 1);
            arguments.add(text.substring(pos, quote)
                    + (close < 0 ? text.substring(quote + 1) : text.substring(quote + 1, close)));
            if (close < 0) {
                break;
            }
            pos = close + 1;
            if (pos < length && text.charAt(pos) == ' ') {
                pos++;
            }
        }
        return arguments;
    }
}
