package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.List;
import org.junit.jupiter.api.Test;

// The launcher's own splitting cases: a hand-over must give what the start itself would.
class CommandLineTest {
    @Test
    void splitsAsTheLauncherSplits() {
        Object[][] cases = {
            {"a\"b c\"d", List.of("ab c", "d")}, {"\"\"", List.of("")}, {"\"abc", List.of("abc")},
            {"x\\\"y", List.of("x\\y")},  // the backslash escapes nothing
            // A single quote groups only where it opens an argument and is closed later.
            {"it's \"a b\"", List.of("it's", "a b")}, {"O'Brien.txt b.txt", List.of("O'Brien.txt", "b.txt")},
            {"'a \"b' c", List.of("a \"b", "c")}, {"'abc d", List.of("'abc", "d")},
            {"a'b c'", List.of("a'b", "c'")},
            {"a\tb  c   ", List.of("a\tb", "c")}, {"   ", List.of()}, {"\"a\"'b c'", List.of("a", "b c")},
            {"\u03a9mega \"\u65e5\u672c \u8a9e\" \ud83d\ude00",
                List.of("\u03a9mega", "\u65e5\u672c \u8a9e", "\ud83d\ude00")},
        };
        for (Object[] c : cases) {
            assertEquals(c[1], CommandLine.split((String) c[0]), (String) c[0]);
        }
    }
}
