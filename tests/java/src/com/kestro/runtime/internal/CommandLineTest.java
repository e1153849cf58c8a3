package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.List;
import org.junit.jupiter.api.Test;

// The launcher's own splitting cases: a hand-over must give what the start itself would.
class CommandLineTest {
    @Test
    void quotesJoinTheTextAroundThemAndTheBackslashEscapesNothing() {
        assertEquals(List.of("ab c", "d"), CommandLine.split("a\"b c\"d"));
        assertEquals(List.of(""), CommandLine.split("\"\""));
        assertEquals(List.of("abc"), CommandLine.split("\"abc"));
        assertEquals(List.of("x\\y"), CommandLine.split("x\\\"y"));
        assertEquals(List.of("C:\\Program Files\\a b.txt", "-x"), CommandLine.split("\"C:\\Program Files\\a b.txt\" -x"));
    }

    @Test
    void singleQuotesQuoteToo() {
        assertEquals(List.of("its \"a b\""), CommandLine.split("it's \"a b\""));
        assertEquals(List.of("a \"b", "c"), CommandLine.split("'a \"b' c"));
        assertEquals(List.of("it's", "x"), CommandLine.split("\"it's\" x"));
    }

    @Test
    void onlyTheSpaceSeparates() {
        assertEquals(List.of("a\tb", "c"), CommandLine.split("a\tb  c   "));
        assertEquals(List.of(), CommandLine.split("   "));
        assertEquals(List.of(), CommandLine.split(""));
        assertEquals(List.of("a", "b"), CommandLine.split("\"a\"\"b\""));
        assertEquals(List.of("a", "b"), CommandLine.split("\"a\"  b"));
        assertEquals(List.of("\u03a9mega", "\u65e5\u672c \u8a9e", "\ud83d\ude00"),
                CommandLine.split("\u03a9mega \"\u65e5\u672c \u8a9e\" \ud83d\ude00"));
    }
}
