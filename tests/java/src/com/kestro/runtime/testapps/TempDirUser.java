package com.kestro.runtime.testapps;

/**
 * Ends as its first argument says: "return", "exit" (System.exit(3)), or "keep" (asks the
 * library at run time to keep the temporary directory, then returns).
 */
public class TempDirUser {
    public static void main(String[] args) {
        switch (args[0]) {
            case "exit":
                System.exit(3);
                break;
            case "keep":
                System.setProperty("kestro.keepTempDir", "true");
                break;
            default:
                break;
        }
    }
}
