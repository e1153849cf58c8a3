package com.kestro.runtime.testapps;

import java.io.IOException;

/** Throws what its first argument asks for: "checked", "unchecked" or "error". */
public class Thrower {
    public static volatile Throwable thrown;

    public static void main(String[] args) throws Exception {
        switch (args[0]) {
            case "checked":
                thrown = new IOException("app failed");
                throw (IOException) thrown;
            case "unchecked":
                thrown = new IllegalStateException("app failed");
                throw (IllegalStateException) thrown;
            default:
                thrown = new StackOverflowError("app failed");
                throw (StackOverflowError) thrown;
        }
    }
}
