package org.kestro.maven;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.stream.Collectors;

import org.junit.jupiter.api.Test;

class TomlTest {
    /** A value as plain maps and lists, to compare what two documents mean. */
    static Object plain(Object value) {
        if (value instanceof TomlTable) {
            Map<String, Object> map = new HashMap<>();
            ((TomlTable) value).entries().forEach(entry -> map.put(entry.getKey(), plain(entry.getValue())));
            return map;
        }
        return value instanceof List
                ? ((List<?>) value).stream().map(TomlTest::plain).collect(Collectors.toList()) : value;
    }

    static String rewrite(String toml) throws Exception {
        return TomlWriter.write(TomlReader.read(toml)).text;
    }

    // Each document is written back as the plugin writes it, and that text means the same.
    @Test
    void writesBackWhatItReads() throws Exception {
        String[][] cases = {
            {"a = 'C:\\x\\y'\nb = \"tab\\there \\u00e9 \\U0001F600\"\nc = \"\"\"\nline one\nline \\\n   two\"\"\"\n"
                    + "d = '''\nraw \\n''''\n",
             "a = \"C:\\\\x\\\\y\"\nb = \"tab\\there \u00e9 \uD83D\uDE00\"\n"
                     + "c = \"line one\\nline two\"\nd = \"raw \\\\n'\"\n"},
            {"n = 0x1F\nm = 1_000\no = 0o17\nf = 6.5e-1\ni = -inf\nt = true\nd = 1979-05-27 07:32:00Z\nl = 07:32:00\n",
             "n = 31\nm = 1000\no = 15\nf = 0.65\ni = -inf\nt = true\nd = 1979-05-27 07:32:00Z\nl = 07:32:00\n"},
            {"[java]\nsearch_order = [{ relative_directory = \"jre\" }, \"registry\",\n  # a comment\n]\n",
             "[java]\nsearch_order = [{ relative_directory = \"jre\" }, \"registry\"]\n"},
            {"[[locale]]\nprefix = \"de\"\n[locale.wide]\n5000 = \"Willkommen\"\n[[locale]]\nprefix = \"fr\"\n",
             "[[locale]]\nprefix = \"de\"\n\n[locale.wide]\n5000 = \"Willkommen\"\n\n[[locale]]\nprefix = \"fr\"\n"},
            {"[a.b]\nx = 1\n[a]\ny.z = 2\n\"key with space\" = { hex = \"00ff\" }\n",
             "[a]\n\"key with space\" = { hex = \"00ff\" }\n\n[a.b]\nx = 1\n\n[a.y]\nz = 2\n"},
            {"\uFEFFtop = 1\r\n[keys]\r\n101 = \"1\" # trailing\r\n",
             "top = 1\n\n[keys]\n101 = \"1\"\n"},
        };
        for (String[] c : cases) {
            String written = rewrite(c[0]);
            assertEquals(c[1], written, c[0]);
            assertEquals(plain(TomlReader.read(c[0])), plain(TomlReader.read(written)), c[0]);
        }
    }

    // Documents TOML refuses, with the line and what is wrong.
    @Test
    void refusesWhatTomlRefuses() {
        String[][] cases = {
            {"a = 1\na = 2\n", "2", "'a' is defined twice"},
            {"[t]\n[t]\n", "2", "table 't' is defined twice"},
            {"[t]\nu.v = 1\n[t.u]\n", "3", "table 't.u' is defined twice"},
            {"[t.u]\n[t]\nu.v = 1\n", "3", "cannot be extended by a dotted key"},
            {"p = { x = 1 }\n[p.q]\n", "2", "'p' is not a table that can be extended"},
            {"x = []\n[[x]]\n", "2", "other than an array of tables"},
            {"s = \"open\n", "1", "not closed"},
            {"s = \"\\q\"\n", "1", "unknown escape \\q"},
            {"a = 1 b = 2\n", "1", "after a value"},
            {"a = 9223372036854775808\n", "1", "out of range"},
            {"a = 01\n", "1", "'01' is not a TOML value"},
            {"a = [1,\n2\n", "3", "not closed"},
            {"a = { b = 1, }\n", "1", "expected a key"},
        };
        for (String[] c : cases) {
            TomlReader.TomlException e =
                    assertThrows(TomlReader.TomlException.class, () -> TomlReader.read(c[0]), c[0]);
            assertEquals(Integer.parseInt(c[1]), e.line, c[0]);
            assertTrue(e.getMessage().contains(c[2]), c[0] + " gave: " + e.getMessage());
        }
    }

    // Every written line names the line of the user's file it came from; added ones 0.
    @Test
    void recordsWhereEachLineCameFrom() throws Exception {
        TomlTable root = TomlReader.read("[version]\n\nproduct_name = \"x\"\n[[files]]\nsource = \"a.jar\"\n");
        root.table("version").put("file_version", "1.0.0", 0);
        TomlWriter.Result result = TomlWriter.write(root);
        assertEquals("[version]\nproduct_name = \"x\"\nfile_version = \"1.0.0\"\n\n[[files]]\nsource = \"a.jar\"\n",
                result.text);
        assertArrayEquals(new int[] {1, 3, 0, 0, 4, 5}, result.origins);
    }
}
